#pragma once

#include "fixedtext.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

// One channel of a group. Places above the group's count are not in use and keep what they
// held before (the grid never reads them).
struct ChannelEntry {
    int16_t channelNo = 0; // 1..60, unique within the group, independent of the place
    int16_t inUse = 0;
    FixedText<8> rxFreq; // 8 digits of Hz: 28.015 MHz is "28015000"
    FixedText<8> txFreq;
    int16_t scanFlag = 0; // 0 scan delete, 1 scan add
    std::array<int16_t, 8>
        channelFlags{};  // [1..7]: BUSY, VOIC, ECHO, HI-CUT, +10KHz, NB/ANL, RB; [0] unused
    int16_t rxExtra = 0; // signed offset in Hz decoded with the receive frequency (meridox only)
    int16_t txExtra = 0;
};

struct ModelInfo {
    FixedText<6> modelName;
    int16_t modelCode = 0;
    int16_t bandCode = 0;
    FixedText<8> createDate;
    FixedText<5> softwareVersionText;
    FixedText<6> modelNameCopy;
    int16_t bandCodeCopy = 0;
    int16_t typeLetter = 0;
};

// The DTMF window's Encode tab: its five lists and the side tone, in this order.
enum DtmfEncodeSetting : int {
    DtmfSpeed,           // digits per second, list index
    DtmfFirstDigitTime,  // list index
    DtmfFirstDigitDelay, // tens of milliseconds
    DtmfStarAndHashTone, // list index
    DtmfDCodeAssignment, // 0 "D Code", else seconds
    DtmfSideTone,        // 0 off, 1 on
    DtmfEncodeSettingCount
};
// Its Decode tab's four lists and "Clear to Transpond", in this order.
enum DtmfDecodeSetting : int {
    DtmfGroupCode,        // the code's character, 0 "Off"
    DtmfAutoResetTimer,   // list index
    DtmfCallAlert,        // off, normal, continuous
    DtmfTranspond,        // off, alert, ID code
    DtmfClearToTranspond, // 0 off, 1 on
    DtmfDecodeSettingCount
};

struct DtmfSettings {
    std::array<int16_t, DtmfEncodeSettingCount> encode{};
    FixedText<10> idCode;
    std::array<int16_t, DtmfDecodeSettingCount> decode{};
    FixedText<10> stunCode; // ends with character 0 when shorter than ten
    int16_t stunType = 0;   // 0 TX inhibit, 1 TX/RX inhibit

    bool operator==(const DtmfSettings&) const = default;
};

// The FleetSync window's settings; fleet and ID are stored less their offsets, 255 "no fleet".
struct FleetSyncSettings {
    int16_t ownFleet = 0;
    int32_t ownId = 0;
    int16_t baudRate = 0; // list index
    int32_t modulationDelay = 0;
    int32_t messageTimer = 0;
    int16_t pttIdSideTone = 0; // 0 off, 1 on

    bool operator==(const FleetSyncSettings&) const = default;
};

struct DtmfCodeEntry {
    int16_t number = 0;
    FixedText<16> code;

    bool operator==(const DtmfCodeEntry&) const = default;
};

struct TestFreqEntry {
    int16_t number = 0;
    FixedText<8> rxFreq;
    FixedText<8> txFreq;
    int16_t rxMark = 0;
    int16_t txMark = 0;
};

// One row of the FleetSync list: its row number 1..8, the fleet and the ID it calls (0 "All",
// 255 empty).
struct FleetSyncEntry {
    int16_t row = 0;
    int16_t fleet = 0;
    int32_t id = 0;

    bool operator==(const FleetSyncEntry&) const = default;
};

// The undo history keeps changes as byte runs of the record: these layouts must not move.
static_assert(sizeof(DtmfSettings) == 44 && offsetof(DtmfSettings, idCode) == 12 &&
              offsetof(DtmfSettings, decode) == 22 && offsetof(DtmfSettings, stunCode) == 32 &&
              offsetof(DtmfSettings, stunType) == 42);
static_assert(sizeof(FleetSyncSettings) == 24 && offsetof(FleetSyncSettings, ownId) == 4 &&
              offsetof(FleetSyncSettings, baudRate) == 8 &&
              offsetof(FleetSyncSettings, modulationDelay) == 12 &&
              offsetof(FleetSyncSettings, messageTimer) == 16 &&
              offsetof(FleetSyncSettings, pttIdSideTone) == 20);
static_assert(sizeof(FleetSyncEntry) == 8 && offsetof(FleetSyncEntry, fleet) == 2 &&
              offsetof(FleetSyncEntry, id) == 4);

constexpr int GroupCount = 6;
constexpr int ChannelsPerGroup = 60;
constexpr int MaxOptionWords = 42;

// The configuration record, fields in the order they take in a data file. Both programs use
// this one structure; solvir simply does not store Version, the channel extras and option
// words 37..41 in its files.
struct RadioConfig {
    FixedText<4> version;
    int16_t currentGroup = 0;
    std::array<int16_t, GroupCount> groupChannelCount{};
    std::array<std::array<ChannelEntry, ChannelsPerGroup>, GroupCount> channels{};
    ModelInfo modelInfo;
    std::array<int16_t, MaxOptionWords> optionWords{};
    std::array<int16_t, 2> keyAssign{};
    std::array<int16_t, 7> scanWords{};
    DtmfSettings dtmf;
    FleetSyncSettings fleetSync;
    int16_t dtmfCodeCount = 0;
    std::array<DtmfCodeEntry, 8> dtmfCodes{};
    int16_t testFreqCount = 0;
    std::array<TestFreqEntry, 16> testFreqs{};
    std::array<FixedText<32>, 2> embeddedMessage{};
    int16_t fleetSyncListCount = 0;
    std::array<FleetSyncEntry, 8> fleetSyncList{};

    // The group the channel grid shows, 0..5 even when a damaged file stores another number.
    int currentGroupIndex() const { return std::clamp<int>(currentGroup, 0, GroupCount - 1); }

    // Place k (1..60) of group g (0..5).
    ChannelEntry& entry(int g, int k) { return channels.at(size_t(g)).at(size_t(k - 1)); }
    const ChannelEntry& entry(int g, int k) const {
        return channels.at(size_t(g)).at(size_t(k - 1));
    }
};
