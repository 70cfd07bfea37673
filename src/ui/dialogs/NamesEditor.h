#pragma once

#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "persist/NamesImport.h"
#include "site/DecoderContext.h"
#include "ui/dialogs/EditDialogServices.h"
#include "ui/dialogs/NamesRows.h"

class NamesFilterProxy;
class NamesListModel;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTableView;
class RadioTable;
class TalkgroupTable;

// What the list editor needs from the program besides the edit dialogs' services: the program
// folder holding the "System%03X" folders, and the save of the decoded system's files (the
// window's SaveKnownSystem; true when written).
struct NamesEditorServices {
    EditDialogServices edit;
    std::function<std::string()> programFolder;
    std::function<bool()> saveDecodedSystem;
};

// "Talkgroup and Radio Lists": a window of its own (no toolbar, not modal) showing the talkgroups
// and radios of one system, picked among the system folders on disk and the system being
// decoded. The lists are copies of the tables; each change goes into the table at once (for the
// decoded system the decoder's live tables, under their locks, so every view shows it) and into
// the undo stack. "Save" writes TalkGroups.txt / Radios.txt whole or not at all; a file that
// exists but could not be read is never saved over.
class NamesEditor : public QWidget {
    Q_OBJECT
public:
    using Kind = NamesImport::Kind;
    static constexpr char kCaption[] = "Talkgroup and Radio Lists";

    explicit NamesEditor(NamesEditorServices services, QWidget* parent = nullptr);
    ~NamesEditor() override;

    // Reads the system folders again and fills the system choice (the decoded system first, marked).
    void RefreshSystems();
    // Shows a system: its folder's files in the editor's own tables, or the decoder's tables when
    // it is the system being decoded. False when it was not shown (unsaved changes kept, or unknown).
    bool ChooseSystem(uint32_t systemId);
    std::optional<uint32_t> ShownSystem() const { return system_; }
    bool ShowsDecodedSystem() const { return live_; }

    // The tables the lists show and edit (the import applies to these).
    TalkgroupTable* Talkgroups() const { return talkgroups_; }
    RadioTable* Radios() const { return radios_; }

    // Editing, as the buttons do it (a message tells the user why when refused).
    bool AddEntry(Kind kind, int64_t number, QString* refusal = nullptr);
    int DeleteSelected(Kind kind);
    bool Undo();
    bool CanUndo() const { return !undo_.empty(); }
    // Sets the colour pair of a row; text == back means "no colours of its own".
    bool SetColours(Kind kind, int32_t id, uint32_t text, uint32_t back);
    bool Save();
    bool ExportVisible(Kind kind, const QString& path, QString* error = nullptr);
    bool HasUnsavedChanges() const { return dirty_[0] || dirty_[1]; }

    // ---- hook of the CSV import (wired by the window) ----
    // "Import..." asks for the list of the tab shown.
    std::function<void(Kind kind)> importRequested;
    // Before an outside change of a table (an import): keeps a copy so the change can be undone.
    void BeginOutsideChange(Kind kind);
    // After an outside change (or to catch up with the decoder): the lists read the tables anew; a
    // change begun with BeginOutsideChange becomes one undo step and marks the list unsaved.
    void ReloadFromTables();

    // ---- widgets, for the window's tests and the screenshot ----
    QComboBox* SystemChoice() const { return systems_; }
    QLineEdit* SearchField() const { return search_; }
    QTabWidget* Tabs() const { return tabs_; }
    QTableView* View(Kind kind) const { return views_[Index(kind)]; }
    NamesListModel& Model(Kind kind) const { return *models_[Index(kind)]; }
    NamesFilterProxy& Proxy(Kind kind) const { return *proxies_[Index(kind)]; }
    Kind ShownKind() const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    struct UndoStep {
        Kind kind;
        std::vector<NamesRow> before;  // entries as they were (restored)
        std::vector<int32_t> added;    // entries that did not exist (removed)
    };
    static size_t Index(Kind kind) { return kind == Kind::Talkgroups ? 0 : 1; }

    void BuildWidgets();
    // Gives the list the search text of the field.
    void SyncSearch(Kind kind);
    QTableView* BuildView(Kind kind);
    void SystemPicked(int index);
    // Asks about unsaved changes; false when the user cancelled.
    bool ConfirmLeave();
    // Whether the tables may still be changed (the decoder still decodes the system shown).
    bool TablesUsable();
    bool Commit(Kind kind, const NamesRow& row);
    void WriteRow(Kind kind, const NamesRow& row);
    void RemoveRow(Kind kind, int32_t id);
    bool FindRow(Kind kind, int32_t id, NamesRow& row);
    std::vector<NamesRow> ReadRows(Kind kind);
    // A change to a live talkgroup or radio reaches the activity view.
    void NotifyViews(Kind kind, int32_t id);
    void Changed(Kind kind, UndoStep step);
    void ChooseColour(Kind kind, const QModelIndex& proxyIndex);
    void DefaultColoursSelected();
    void AddPressed();
    void ExportPressed();
    void UpdateCounts();
    void UpdateButtons();
    void ShowProblem(const QString& text);
    uint32_t DefaultText() const;
    uint32_t DefaultBack() const;

    NamesEditorServices services_;
    DecoderContext ownContext_;
    std::unique_ptr<TalkgroupTable> ownTalkgroups_;
    std::unique_ptr<RadioTable> ownRadios_;
    TalkgroupTable* talkgroups_ = nullptr;
    RadioTable* radios_ = nullptr;
    std::optional<uint32_t> system_;
    bool live_ = false;
    std::string folder_;
    std::array<bool, 2> dirty_{};
    std::array<QString, 2> unreadable_;  // why the file could not be read; empty when it could
    std::vector<UndoStep> undo_;
    std::array<std::vector<NamesRow>, 2> outsideBefore_;
    std::array<bool, 2> outsidePending_{};

    QComboBox* systems_ = nullptr;
    QLineEdit* search_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    std::array<NamesListModel*, 2> models_{};
    std::array<NamesFilterProxy*, 2> proxies_{};
    std::array<QTableView*, 2> views_{};
    QLabel* counts_ = nullptr;
    QPushButton* add_ = nullptr;
    QPushButton* delete_ = nullptr;
    QPushButton* defaultColours_ = nullptr;
    QPushButton* undoButton_ = nullptr;
    QPushButton* save_ = nullptr;
    QPushButton* import_ = nullptr;
    QPushButton* export_ = nullptr;
    QPushButton* refresh_ = nullptr;
    bool choosing_ = false;
};
