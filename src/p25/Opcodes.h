#pragma once

#include <cstdint>

#include "p25/Tsbk.h"

// Names of the TSBK opcodes (byte 0 AND kOpcodeMask) that the decoder handles. Standard names
// (kOp...) are the meanings with MFID 0x00; kOpMot... are the meanings of the same values with
// MFID 0x90. Opcodes 0x0C..0x0F, 0x13, 0x17, 0x19, 0x1B, 0x22, 0x23, 0x25, 0x26, 0x31, 0x32 and
// 0x35 have no handler and no name here.

// Channel grants and grant updates (voice, telephone, data).
inline constexpr uint8_t kOpGroupVoiceGrant = 0x00;
inline constexpr uint8_t kOpGroupVoiceGrantUpdate = 0x02;
inline constexpr uint8_t kOpGroupVoiceGrantExplicit = 0x03;
inline constexpr uint8_t kOpUnitToUnitVoiceGrant = 0x04;
inline constexpr uint8_t kOpUnitToUnitAnswerRequest = 0x05;
inline constexpr uint8_t kOpUnitToUnitVoiceGrantUpdate = 0x06;
inline constexpr uint8_t kOpUnitToUnitVoiceGrantExplicit = 0x07;
inline constexpr uint8_t kOpTelephoneVoiceGrant = 0x08;
inline constexpr uint8_t kOpTelephoneVoiceGrantUpdate = 0x09;
inline constexpr uint8_t kOpTelephoneIncomingRequest = 0x0A;
inline constexpr uint8_t kOpIndividualDataGrant = 0x10;
inline constexpr uint8_t kOpGroupDataGrant = 0x11;
inline constexpr uint8_t kOpGroupDataGrantUpdate = 0x12;
inline constexpr uint8_t kOpIndividualDataGrantExplicit = 0x14;
inline constexpr uint8_t kOpQueuedPrivateDataGrant = 0x15;
inline constexpr uint8_t kOpDataChannelUpdate = 0x16;

// Unit control, status and responses.
inline constexpr uint8_t kOpStatusUpdate = 0x18;
inline constexpr uint8_t kOpStatusQuery = 0x1A;
inline constexpr uint8_t kOpMessageUpdate = 0x1C;
inline constexpr uint8_t kOpRadioUnitMonitorCommand = 0x1D;
inline constexpr uint8_t kOpRadioMonitor = 0x1E;
inline constexpr uint8_t kOpCallAlert = 0x1F;
inline constexpr uint8_t kOpAckResponse = 0x20;
inline constexpr uint8_t kOpQueuedResponse = 0x21;
inline constexpr uint8_t kOpExtendedFunctionCommand = 0x24;
inline constexpr uint8_t kOpDenyResponse = 0x27;
inline constexpr uint8_t kOpGroupAffiliationResponse = 0x28;
inline constexpr uint8_t kOpGroupAffiliationQuery = 0x2A;
inline constexpr uint8_t kOpLocationRegistrationResponse = 0x2B;
inline constexpr uint8_t kOpUnitRegistrationResponse = 0x2C;
inline constexpr uint8_t kOpUnitRegistrationCommand = 0x2D;
inline constexpr uint8_t kOpUnitAuthenticationCommand = 0x2E;
inline constexpr uint8_t kOpDeRegistrationAck = 0x2F;
inline constexpr uint8_t kOpRoamingAddressCommand = 0x36;
inline constexpr uint8_t kOpRoamingAddressUpdate = 0x37;
// 0x37 with any MFID is the header of a multi-block packet.
inline constexpr uint8_t kOpMultiBlockHeader = kMultiBlockHeaderOpcode;
inline constexpr uint8_t kOpProtectionParameterBroadcast = 0x3E;
inline constexpr uint8_t kOpProtectionParameterUpdate = 0x3F;

// System and site broadcasts.
inline constexpr uint8_t kOpExplicitAlternateControl = 0x29;
inline constexpr uint8_t kOpPhase2SyncBroadcast = 0x30;     // described, not recognised
inline constexpr uint8_t kOpPhase2IdentifierUpdate = 0x33;  // described, not recognised
inline constexpr uint8_t kOpIdentifierUpdateVhfUhf = 0x34;
inline constexpr uint8_t kOpSystemServiceBroadcast = 0x38;
inline constexpr uint8_t kOpSecondaryControlChannelBroadcast = 0x39;
inline constexpr uint8_t kOpRfssStatusBroadcast = 0x3A;
inline constexpr uint8_t kOpNetworkStatusBroadcast = 0x3B;
inline constexpr uint8_t kOpNeighborStatusBroadcast = 0x3C;
inline constexpr uint8_t kOpIdentifierUpdate = 0x3D;

// The same values with MFID 0x90.
inline constexpr uint8_t kOpMotPatchInformation = 0x00;
inline constexpr uint8_t kOpMotPatchRelease = 0x01;
inline constexpr uint8_t kOpMotPatchedGroupVoiceGrant = 0x02;
inline constexpr uint8_t kOpMotPatchedGroupVoiceGrantUpdate = 0x03;
inline constexpr uint8_t kOpMotRegroupCommand = 0x04;  // when byte 2 is 2
inline constexpr uint8_t kOpMotUnknown05 = 0x05;       // "Unknown Op=", recognised
inline constexpr uint8_t kOpMotQueuedResponsePatched = 0x06;
inline constexpr uint8_t kOpMotEmergencyButton = 0x07;
inline constexpr uint8_t kOpMotPatchedAck = 0x08;
inline constexpr uint8_t kOpMotUnknown09 = 0x09;  // "Unknown Op=" with binary value, recognised
inline constexpr uint8_t kOpMotCwidGrantUpdate = 0x0B;

// Radio Monitor (0x1E) with this MFID is recognised as "Unknown Op=1e".
inline constexpr uint8_t kMfidRadioMonitorAlt = 0xAD;
