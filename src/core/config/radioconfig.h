#pragma once

#include "fixedtext.h"

#include <algorithm>
#include <array>
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

struct DtmfSettings {
    std::array<int16_t, 6> words1{};
    FixedText<10> text1;
    std::array<int16_t, 5> words2{};
    FixedText<10> text2;
    int16_t word3 = 0;
};

struct FleetSyncSettings {
    int16_t w0 = 0;
    int32_t l1 = 0;
    int16_t w2 = 0;
    int32_t l3 = 0;
    int32_t l4 = 0;
    int16_t w5 = 0;
};

struct DtmfCodeEntry {
    int16_t number = 0;
    FixedText<16> code;
};

struct TestFreqEntry {
    int16_t number = 0;
    FixedText<8> rxFreq;
    FixedText<8> txFreq;
    int16_t rxMark = 0;
    int16_t txMark = 0;
};

struct FleetSyncEntry {
    int16_t a = 0;
    int16_t b = 0;
    int32_t c = 0;
};

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
