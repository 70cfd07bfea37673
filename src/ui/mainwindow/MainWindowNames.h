#pragma once

// Object names of the main window's widgets. Widgets with a name of their own (ListView8, Button13,
// CheckBox14, Timer2, Edit2, UpDown1, TGIDCount, RIDCount, BackupLabel, ImportLabel ...) carry it;
// the others get the names below. The window sets them as it builds its widgets and keeps typed
// pointers to them (MainWindowWidgets); tests and accessibility find widgets by these names and
// never spell one themselves.
namespace ui_names {

// ---- Window, page control and tab pages (in tab order) ----
inline constexpr char kMainWindow[] = "Form1";
inline constexpr char kPageControl[] = "PageControl1";
inline constexpr char kTabActivity[] = "TabActivity";         // "System Activity"
inline constexpr char kTabAffLog[] = "TabAffiliationLog";     // "Affilation Log"
inline constexpr char kTabAffList[] = "TabAffiliationList";   // "Affiliation List (0)"
inline constexpr char kTabSiteInfo[] = "TabSiteInformation";  // "Site Information"
inline constexpr char kTabPatches[] = "TabPatches";           // "Patches (0)"
inline constexpr char kTabOtherEvents[] = "TabOtherEvents";   // "Other Events"
inline constexpr char kTabGrants[] = "TabGrantTrace";         // "Channel Grant Trace"
inline constexpr char kTabUnknown[] = "TabUnknownPackets";    // "Unknown Packets"
inline constexpr char kTabPacketDump[] = "TabPacketDump";     // "Packet Dump"
inline constexpr char kTabRawData[] = "TabRawData";           // "RAW Data Dump"

// ---- Lists (QTreeView with a ListModel) ----
inline constexpr char kListActivity[] = "ListView1";
inline constexpr char kListNeighbors[] = "ListView2";
inline constexpr char kListIdentifiers[] = "ListView3";
inline constexpr char kListAffList[] = "ListView4";
inline constexpr char kListPatchList[] = "ListView5";
inline constexpr char kListAffLog[] = "ListView6";
inline constexpr char kListUnknown[] = "ListView7";
inline constexpr char kListGrantTrace[] = "ListView8";
inline constexpr char kListOtherEvents[] = "ListView9";
inline constexpr char kListPatchLog[] = "ListView10";
inline constexpr char kListSiteInfo[] = "ListView11";
inline constexpr char kListPacketDump[] = "ListView12";
inline constexpr char kListCurrentPatches[] = "ListView13";
inline constexpr char kListRecentGrants[] = "ListView14";
inline constexpr char kListRawData[] = "ListView15";
inline constexpr char kListFilterRanges[] = "ListView16";

// ---- Right-hand column: panels and their value labels ----
inline constexpr char kPanelSystemInfo[] = "SystemInfoPanel";  // "System Information"
inline constexpr char kPanelSiteInfo[] = "SiteInfoPanel";      // "Site Information:"
inline constexpr char kPanelDecodeInfo[] = "DecodeInfoPanel";  // "Decode Information:"
inline constexpr char kSysIdValue[] = "SysIdValue";            // "SysID:" (initially "Unknown")
inline constexpr char kSystemDescValue[] = "SystemDescValue";  // "Description:"
inline constexpr char kTGIDCount[] = "TGIDCount";              // "Talkgroup ID Count:"
inline constexpr char kRIDCount[] = "RIDCount";                // "Radio ID Count:"
inline constexpr char kSiteIdValue[] = "SiteIdValue";          // "Site ID:"
inline constexpr char kWacnValue[] = "WacnValue";              // "WACN:"
inline constexpr char kSiteStatusValue[] = "SiteStatusValue";  // "Status:" of the side panel
inline constexpr char kSiteDescValue[] = "SiteDescValue";      // "Site Description:"
inline constexpr char kRateValue[] = "RateValue";              // "Receive Rate (%):"
inline constexpr char kProgressBar[] = "DecodeProgressBar";
inline constexpr char kBufferValue[] = "BufferValue";  // "Buffer Available:"
inline constexpr char kStartStopButton[] = "Button1";

// ---- Status line (shown with Activity/HideSystemInfo); a caption label and a value per pair ----
inline constexpr char kStatusLine[] = "StatusLine";
inline constexpr char kStatusSystemCaption[] = "StatusSystemCaption";
inline constexpr char kStatusSystemValue[] = "StatusSystemValue";  // "System:"
inline constexpr char kStatusSiteCaption[] = "StatusSiteCaption";
inline constexpr char kStatusSiteValue[] = "StatusSiteValue";  // "Site:"
inline constexpr char kStatusDecodeCaption[] = "StatusDecodeCaption";
inline constexpr char kStatusDecodeValue[] = "StatusDecodeValue";  // "Decode:"
inline constexpr char kStatusTGIDsCaption[] = "StatusTGIDsCaption";
inline constexpr char kStatusTGIDsValue[] = "StatusTGIDsValue";  // "TGIDs:"
inline constexpr char kStatusRIDsCaption[] = "StatusRIDsCaption";
inline constexpr char kStatusRIDsValue[] = "StatusRIDsValue";  // "RIDs:"
inline constexpr char kStatusStatusCaption[] = "StatusStatusCaption";
inline constexpr char kStatusStatusValue[] = "StatusStatusValue";  // "Status:" of the status line
inline constexpr char kStatusFileNotice[] = "StatusFileNotice";    // the last problem with a file kept
inline constexpr char kBackupLabel[] = "BackupLabel";              // "*Backup In Progress*"
inline constexpr char kImportLabel[] = "ImportLabel";              // "*Import In Progress*"
// The bottom row's notices besides those two: the session's trouble (no data, scanner lost) and
// short reports of commands (where a log save went); the same trouble in the site panel.
inline constexpr char kNoticeRow[] = "NoticeRow";
inline constexpr char kSessionNotice[] = "SessionNotice";
inline constexpr char kEmergencyNotice[] = "EmergencyNotice";
inline constexpr char kMessageNotice[] = "MessageNotice";
inline constexpr char kSiteNotice[] = "SiteNotice";

// ---- Activity tab ----
inline constexpr char kActivityFrame[] = "ActivityFrame";          // "Site Activity"
inline constexpr char kCurrentPatchFrame[] = "CurrentPatchFrame";  // "Current Patch List"
inline constexpr char kRecentGrantsFrame[] = "RecentGrantsFrame";  // "Recent Channel Grants:"
inline constexpr char kHoldButton[] = "Button13";                  // "Hold TalkGroup" / "Release Hold"
inline constexpr char kHoldLabel[] = "HoldLabel";                  // "No Hold" / "Holding Talkgroup N"
inline constexpr char kUsageButton[] = "Button16";                 // "Usage Code Descriptions"
inline constexpr char kThresholdHighEdit[] = "Edit2";
inline constexpr char kThresholdHighUpDown[] = "UpDown1";
inline constexpr char kThresholdLowEdit[] = "Edit3";
inline constexpr char kThresholdLowUpDown[] = "UpDown2";

// ---- Affiliation tabs ----
inline constexpr char kAffLogSave[] = "Button4";
inline constexpr char kAffLogClear[] = "Button5";
inline constexpr char kAffLogAutoSave[] = "CheckBox13";
inline constexpr char kAffLogAutoScroll[] = "AutoScrollAffLog";
inline constexpr char kAffLogRefresh[] = "Button20";
inline constexpr char kAffListRefresh[] = "Button8";
inline constexpr char kAffiliateCount[] = "AffiliateCount";  // "Affiliate Count:" value
inline constexpr char kFilterPanel[] = "FilterPanel";        // "Affiliation Log Filter Options"
inline constexpr char kFilterEnable[] = "CheckBox14";        // "Enable Affiliation Log Filter"
inline constexpr char kAddRangeButton[] = "Button21";
inline constexpr char kDeleteRangeButton[] = "Button22";
inline constexpr char kRangeMenu[] = "RangePopupMenu";
inline constexpr char kAddRangeAction[] = "AddRange1";
inline constexpr char kEnableRangeAction[] = "EnableRange1";
inline constexpr char kDisableRangesAction[] = "DisableRanges1";
inline constexpr char kDeleteRangeAction[] = "DeleteRange1";

// ---- Patches tab ----
inline constexpr char kPatchLogSave[] = "Button11";
inline constexpr char kPatchLogClear[] = "Button12";
inline constexpr char kPatchLogAutoSave[] = "CheckBox12";
inline constexpr char kPatchLogAutoScroll[] = "AutoScrollPatchLog";

// ---- Other events tab ----
inline constexpr char kFilterRegistrations[] = "CheckBox5";  // "Filter Unit Registrations"
inline constexpr char kEventsSave[] = "Button10";
inline constexpr char kEventsClear[] = "Button9";
inline constexpr char kEventsAutoSave[] = "CheckBox11";
inline constexpr char kEventsAutoScroll[] = "AutoScrollEvents";

// ---- Grant trace tab ----
inline constexpr char kGrantsSave[] = "Button6";
inline constexpr char kGrantsClear[] = "Button7";
inline constexpr char kGrantsRefresh[] = "Button17";
inline constexpr char kGrantsAutoSave[] = "CheckBox10";
inline constexpr char kGrantsAutoScroll[] = "AutoScrollGrants";

// ---- Unknown packets tab ----
inline constexpr char kUnknownSave[] = "Button2";
inline constexpr char kUnknownClear[] = "Button3";
inline constexpr char kUnknownAutoSave[] = "CheckBox9";
inline constexpr char kUnknownAutoScroll[] = "AutoScrollUnknown";

// ---- Packet dump tab ----
inline constexpr char kDumpSave[] = "Button14";
inline constexpr char kDumpClear[] = "Button15";
inline constexpr char kDumpAutoSave[] = "CheckBox8";
inline constexpr char kDumpAutoScroll[] = "AutoScrollDump";

// ---- Raw data tab ----
inline constexpr char kRawSave[] = "Button18";
inline constexpr char kRawClear[] = "Button19";
inline constexpr char kRawAutoSave[] = "AutoSavePSR";
inline constexpr char kRawAutoScroll[] = "AutoScrollPSR";

// ---- Pop-up menu of the talkgroup/radio lists (items 0 and 1) ----
inline constexpr char kListPopupMenu[] = "PopupMenu1";
inline constexpr char kPopupEditTalkgroup[] = "PopupEditTalkgroup";
inline constexpr char kPopupEditRadio[] = "PopupEditRadio";

// ---- Timers (QTimer children of the window) ----
inline constexpr char kTimer1[] = "Timer1";
inline constexpr char kTimer2[] = "Timer2";
inline constexpr char kTimer3[] = "Timer3";
inline constexpr char kTimer4[] = "Timer4";
inline constexpr char kBackupTimer[] = "BackupTimer";

// ---- Main menu (QMenu / QAction objectNames) ----
inline constexpr char kMenuFile[] = "File1";
inline constexpr char kActSaveSystem[] = "SaveSystemInformation1";
inline constexpr char kActExit[] = "Exit1";
inline constexpr char kMenuEdit[] = "Edit1";
inline constexpr char kActDecodeConfig[] = "DecodeConfiguration1";
inline constexpr char kActScannerControl[] = "ScannerControl1";
inline constexpr char kActScreenSettings[] = "ScreenSettings1";
inline constexpr char kActDataOptions[] = "DataOptions1";
inline constexpr char kActWebSettings[] = "RRWebServiceProxySettings1";
inline constexpr char kActNamesEditor[] = "TalkgroupAndRadioLists1";
inline constexpr char kMenuSystem[] = "System1";
inline constexpr char kActEditSystem[] = "EditSystemInformation1";
inline constexpr char kActEditTalkgroup[] = "EditTalkGroupInformation1";
inline constexpr char kActEditRadio[] = "EditRadioIDInformation1";
inline constexpr char kActImport[] = "ImportSystemInformation1";
inline constexpr char kActImportTalkgroupNames[] = "ImportTalkGroupNames1";
inline constexpr char kActImportRadioNames[] = "ImportRadioIDNames1";
inline constexpr char kMenuDecode[] = "Decode1";
inline constexpr char kActReadData[] = "ReadDataFromRadio1";
inline constexpr char kActStopData[] = "StopReadingDataFromRadio1";
inline constexpr char kMenuHelp[] = "Help1";
inline constexpr char kActCheckUpdates[] = "CheckforUpdates1";
inline constexpr char kActAbout[] = "About1";

// ---- Dialogs created at start (top-level widgets' objectNames) ----
inline constexpr char kSystemDialog[] = "Form2";
inline constexpr char kAboutDialog[] = "AboutForm";
inline constexpr char kAboutVersion[] = "VersionLabel";      // "Version: 0.1.0 Build 1"
inline constexpr char kRROptionsDialog[] = "RROptionsForm";  // "Radio Reference Import Options"
inline constexpr char kMultSysDialog[] = "MultSysForm";      // "Multiple Systems Match System ID"

}  // namespace ui_names
