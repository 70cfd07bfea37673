#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>

#include "p25/NameTables.h"
#include "p25/Opcodes.h"

// The expected rows here are typed separately from the tables in NameTables.cpp, so a slip in
// either shows up as a mismatch. Each lookup is also swept over its whole code range to catch
// extra or misplaced entries.

namespace {

const std::map<int, std::string> kExpectedManufacturers = {
    {0x00, "Standard"},
    {0x78, "Kokusai"},
    {0x10, "Relm/BK"},
    {0x7C, "Maxon"},
    {0x20, "Cycomm"},
    {0x80, "Midland"},
    {0x28, "Efratom"},
    {0x86, "Daniels Electronics Ltd."},
    {0x30, "Com-Net Ericsson"},
    {0x90, "Motorola"},
    {0x38, "Datron"},
    {0xA0, "Thales"},
    {0x40, "Icom"},
    {0xA4, "M/A-COM"},
    {0x48, "Garmin"},
    {0xB0, "Raytheon"},
    {0x50, "GTE"},
    {0xC0, "SEA"},
    {0x55, "IFR Systems"},
    {0xC8, "Securicor"},
    {0x60, "GEC-Marconi"},
    {0xD0, "ADI"},
    {0x68, "Kenwood Communications"},
    {0xD8, "Tait Electronics"},
    {0x70, "Glenayre Electronics"},
    {0xE0, "Teletec"},
    {0x74, "Japan Radio Co."},
    {0xF0, "Transcrypt International"},
};

const std::map<int, std::string> kExpectedServiceTypes = {
    {0x00, "Group Voice Grant"},
    {0x12, "Group Data Grant Update"},
    {0x02, "Group Grant Update"},
    {0x14, "Group Data Grant Explicit"},
    {0x03, "Explicit Group Grant Update"},
    {0x1E, "Radio Monitor"},
    {0x04, "Unit to Unit Voice Grant"},
    {0x1F, "Call Alert"},
    {0x05, "Unit to Unit Answer Request"},
    {0x24, "Radio Check/Detach/Inhibit/UnInhibit"},
    {0x06, "Unit-Unit Grant Update"},
    {0x27, "Deny Response"},
    {0x07, "Unit to Unit Explicit Voice Grant"},
    {0x28, "Group Affiliation"},
    {0x08, "Telephone Voice Grant"},
    {0x2B, "Location Registration"},
    {0x09, "Telephone Voice Grant Update"},
    {0x2C, "Unit Registration"},
    {0x10, "Unit to Unit Data Grant"},
    {0x2D, "Location Registration"},
    {0x11, "Group Data Grant"},
    {0x38, "System Services Broadcast"},
};

const std::map<int, std::string> kExpectedReasons = {
    {0x10, "the requesting unit is not valid"},
    {0x11, "the requesting unit is not authorized for this service"},
    {0x20, "the target unit is not valid"},
    {0x21, "the target unit is not authorized for this service"},
    {0x2F, "target unit has refused this call"},
    {0x30, "the target group is not valid"},
    {0x31, "the target group is not authorized for this service"},
    {0x40, "invalid dialing"},
    {0x41, "telephone number is not authorized"},
    {0x42, "PSTN address is not valid"},
    {0x50, "call time-out has occurred"},
    {0x51, "landline has terminated this call"},
    {0x52, "subscriber unit has terminated this call"},
    {0x5F, "call has been pre-empted"},
    {0x60, "site access denial"},
    {0xF0, "the call options are not valid for this service"},
    {0xF1, "protection service option is not valid"},
    {0xF2, "duplex service option is not valid"},
    {0xF3, "circuit or packet mode service option is not valid"},
    {0xFF, "the system does not support this service"},
};

// Opcodes listed without a summary name (0x01, 0x0B, 0x12, ...) are simply absent here.
const std::map<int, std::string> kExpectedSummaries = {
    {0x00, "(Group Voice Grant)"},
    {0x02, "(Group Voice Grant Update)"},
    {0x03, "(Group Voice Grant Explicit)"},
    {0x04, "(Unit-Unit Voice Grant)"},
    {0x05, "(Unit-Unit Answer Request)"},
    {0x06, "(Unit-Unit Voice Grant Update)"},
    {0x07, "(Unit-Unit Voice Grant Explicit)"},
    {0x08, "(Telephone Voice Grant)"},
    {0x09, "(Telephone Voice Grant Update)"},
    {0x0A, "(Telephone Incomming Request)"},
    {0x10, "(Individual Data Channel Grant)"},
    {0x11, "(Group Data Channel Grant)"},
    {0x18, "(Status Update)"},
    {0x1A, "(Status Query)"},
    {0x1C, "(Message Update)"},
    {0x1D, "(Radio Unit Monitor Command)"},
    {0x1F, "(Call Alert)"},
    {0x20, "(ACK Response)"},
    {0x21, "(Queued Response)"},
    {0x24, "(Extended Function Command)"},
    {0x27, "(Deny Response)"},
    {0x28, "(Group Affiliation Response)"},
    {0x2A, "(Group Affiliation Query)"},
    {0x2B, "(Location Registration Response)"},
    {0x2C, "(Unit Registration Response)"},
    {0x2D, "(Unit Registration Command)"},
    {0x2E, "(Unit Authentication Command)"},
    {0x2F, "(De-Registration Ack)"},
    {0x34, "(Identifier Update)"},
    {0x36, "(Roaming Address Command)"},
    {0x37, "(Roaming Address Update)"},
    {0x38, "(System Service Broadcast)"},
    {0x39, "(Secondary Control Channel Broadcast)"},
    {0x3A, "(RFSS Status Broadcast)"},
    {0x3B, "(Network Status Broadcast)"},
    {0x3C, "(Neighbor Status Broadcast)"},
    {0x3D, "(Identifier Update)"},
    {0x3E, "(Protection Parameter Broadcast)"},
    {0x3F, "(Protection Parameter Update)"},
};

TEST(NameTablesTest, ManufacturerNameCoversEveryMfid)
{
    ASSERT_EQ(kExpectedManufacturers.size(), 28u);
    for (int mfid = 0; mfid <= 0xFF; ++mfid) {
        auto it = kExpectedManufacturers.find(mfid);
        const std::string expected = it != kExpectedManufacturers.end() ? it->second : "Unknown";
        EXPECT_EQ(ManufacturerName(static_cast<uint8_t>(mfid)), expected) << "MFID " << mfid;
    }
    EXPECT_STREQ(ManufacturerName(0x01), "Unknown");
}

TEST(NameTablesTest, ManufacturerSuffixUsesUpperCaseHexAndName)
{
    EXPECT_EQ(ManufacturerSuffix(0x90), " Mfg 90(Motorola)");
    EXPECT_EQ(ManufacturerSuffix(0xA4), " Mfg A4(M/A-COM)");
    EXPECT_EQ(ManufacturerSuffix(0x00), " Mfg 00(Standard)");
    EXPECT_EQ(ManufacturerSuffix(0x01), " Mfg 01(Unknown)");
    EXPECT_EQ(ManufacturerSuffix(0xAD), " Mfg AD(Unknown)");
}

TEST(NameTablesTest, ServiceTypeNameCoversEverySixBitCode)
{
    ASSERT_EQ(kExpectedServiceTypes.size(), 22u);
    for (int code = 0; code <= 0x3F; ++code) {
        auto it = kExpectedServiceTypes.find(code);
        if (it != kExpectedServiceTypes.end()) {
            EXPECT_EQ(ServiceTypeName(code), it->second) << "code " << code;
        } else {
            char expected[32];
            std::snprintf(expected, sizeof expected, "Unknown Code 0x%02x", code);
            EXPECT_EQ(ServiceTypeName(code), expected) << "code " << code;
        }
    }
}

TEST(NameTablesTest, ServiceTypeNameEdgeCases)
{
    EXPECT_EQ(ServiceTypeName(0x2B), "Location Registration");
    EXPECT_EQ(ServiceTypeName(0x2D), "Location Registration");
    EXPECT_EQ(ServiceTypeName(0x01), "Unknown Code 0x01");
    EXPECT_EQ(ServiceTypeName(0x3a), "Unknown Code 0x3a");  // lower-case hex digits
    EXPECT_EQ(ServiceTypeName(0xFF), "Unknown Code 0xff");
}

TEST(NameTablesTest, ReasonTextCoversEveryByte)
{
    ASSERT_EQ(kExpectedReasons.size(), 20u);
    for (int code = 0; code <= 0xFF; ++code) {
        auto it = kExpectedReasons.find(code);
        const std::string expected = it != kExpectedReasons.end() ? it->second : "reserved";
        EXPECT_EQ(ReasonText(code), expected) << "code " << code;
        char buf[80];
        ReasonText(code, buf, sizeof buf);
        EXPECT_EQ(std::string(buf), expected) << "code " << code;
    }
    EXPECT_EQ(ReasonText(0x00), "reserved");
    EXPECT_EQ(ReasonText(0x2F), "target unit has refused this call");
}

TEST(NameTablesTest, ReasonTextStaysInsideTheCallersBuffer)
{
    char buf[8];
    std::memset(buf, 'x', sizeof buf);
    ReasonText(0x10, buf, 0);
    EXPECT_EQ(buf[0], 'x');  // size 0: nothing written

    char small[9];
    std::memset(small, 'x', sizeof small);
    ReasonText(0x10, small, 6);
    EXPECT_STREQ(small, "the r");
    EXPECT_EQ(small[6], 'x');
}

TEST(NameTablesTest, ServiceClassTextJoinsSetBitsInOrder)
{
    struct Row {
        uint8_t value;
        const char* text;
    };
    const Row rows[] = {
        {0x00, "None Advertised"},
        {0x01, "Composite control channel"},
        {0x02, "No service requests/update control channel only"},
        {0x04, "Backup control channel only"},
        {0x08, "Reserved(*)"},
        {0x10, "Data"},
        {0x20, "Voice"},
        {0x40, "Registration"},
        {0x80, "Authentication"},
        {0x70, "Data,Voice,Registration"},
        {0x81, "Composite control channel,Authentication"},
        {0xFF, "Composite control channel,No service requests/update control channel only,"
               "Backup control channel only,Reserved(*),Data,Voice,Registration,Authentication"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(ServiceClassText(row.value), row.text) << "class " << int(row.value);
    }
}

TEST(NameTablesTest, OpcodeSummaryNameCoversEveryOpcode)
{
    ASSERT_EQ(kExpectedSummaries.size(), 39u);
    for (int op = 0; op <= 0x3F; ++op) {
        auto it = kExpectedSummaries.find(op);
        const std::string expected = it != kExpectedSummaries.end() ? it->second : "(Unknown)";
        EXPECT_EQ(OpcodeSummaryName(op), expected) << "opcode " << op;
    }
    // Listed without a summary name, not listed at all, and outside six bits.
    EXPECT_STREQ(OpcodeSummaryName(0x01), "(Unknown)");
    EXPECT_STREQ(OpcodeSummaryName(0x29), "(Unknown)");
    EXPECT_STREQ(OpcodeSummaryName(0x0C), "(Unknown)");
    EXPECT_STREQ(OpcodeSummaryName(0x40), "(Unknown)");
    EXPECT_STREQ(OpcodeSummaryName(-1), "(Unknown)");
}

// A wrong value behind an opcode name would send blocks to the wrong handler; the summary
// names pin the standard opcodes to their meaning.
TEST(NameTablesTest, OpcodeNamesMatchTheirSummaryNames)
{
    struct Row {
        uint8_t op;
        const char* summary;
    };
    const Row rows[] = {
        {kOpGroupVoiceGrant, "(Group Voice Grant)"},
        {kOpGroupVoiceGrantUpdate, "(Group Voice Grant Update)"},
        {kOpGroupVoiceGrantExplicit, "(Group Voice Grant Explicit)"},
        {kOpUnitToUnitVoiceGrant, "(Unit-Unit Voice Grant)"},
        {kOpUnitToUnitAnswerRequest, "(Unit-Unit Answer Request)"},
        {kOpUnitToUnitVoiceGrantUpdate, "(Unit-Unit Voice Grant Update)"},
        {kOpUnitToUnitVoiceGrantExplicit, "(Unit-Unit Voice Grant Explicit)"},
        {kOpTelephoneVoiceGrant, "(Telephone Voice Grant)"},
        {kOpTelephoneVoiceGrantUpdate, "(Telephone Voice Grant Update)"},
        {kOpTelephoneIncomingRequest, "(Telephone Incomming Request)"},
        {kOpIndividualDataGrant, "(Individual Data Channel Grant)"},
        {kOpGroupDataGrant, "(Group Data Channel Grant)"},
        {kOpStatusUpdate, "(Status Update)"},
        {kOpStatusQuery, "(Status Query)"},
        {kOpMessageUpdate, "(Message Update)"},
        {kOpRadioUnitMonitorCommand, "(Radio Unit Monitor Command)"},
        {kOpCallAlert, "(Call Alert)"},
        {kOpAckResponse, "(ACK Response)"},
        {kOpQueuedResponse, "(Queued Response)"},
        {kOpExtendedFunctionCommand, "(Extended Function Command)"},
        {kOpDenyResponse, "(Deny Response)"},
        {kOpGroupAffiliationResponse, "(Group Affiliation Response)"},
        {kOpGroupAffiliationQuery, "(Group Affiliation Query)"},
        {kOpLocationRegistrationResponse, "(Location Registration Response)"},
        {kOpUnitRegistrationResponse, "(Unit Registration Response)"},
        {kOpUnitRegistrationCommand, "(Unit Registration Command)"},
        {kOpUnitAuthenticationCommand, "(Unit Authentication Command)"},
        {kOpDeRegistrationAck, "(De-Registration Ack)"},
        {kOpIdentifierUpdateVhfUhf, "(Identifier Update)"},
        {kOpRoamingAddressCommand, "(Roaming Address Command)"},
        {kOpRoamingAddressUpdate, "(Roaming Address Update)"},
        {kOpMultiBlockHeader, "(Roaming Address Update)"},
        {kOpSystemServiceBroadcast, "(System Service Broadcast)"},
        {kOpSecondaryControlChannelBroadcast, "(Secondary Control Channel Broadcast)"},
        {kOpRfssStatusBroadcast, "(RFSS Status Broadcast)"},
        {kOpNetworkStatusBroadcast, "(Network Status Broadcast)"},
        {kOpNeighborStatusBroadcast, "(Neighbor Status Broadcast)"},
        {kOpIdentifierUpdate, "(Identifier Update)"},
        {kOpProtectionParameterBroadcast, "(Protection Parameter Broadcast)"},
        {kOpProtectionParameterUpdate, "(Protection Parameter Update)"},
    };
    for (const auto& row : rows) {
        EXPECT_STREQ(OpcodeSummaryName(row.op), row.summary) << "opcode " << int(row.op);
    }
}

}  // namespace
