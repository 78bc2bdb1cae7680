#pragma once

// The option words of the configuration record (RadioConfig::optionWords; meridox stores 42,
// solvir words 0..36): what each index means. The optional features window edits them, except
// the emergency channels, which belong to the channel grid. Word 19 lives only in data files:
// the radio has no place for it.
namespace OptionWord {
constexpr int TimeOutTimer = 0;  // list index: off, 30 s .. 600 s
constexpr int RbFrequency = 1;   // tens of Hz, 30..300
constexpr int RbTime = 2;        // list index: 50 ms .. 1000 ms
constexpr int CwSideTone = 3;    // tens of Hz, 30..300
constexpr int FrequencyStep = 4; // 0..3: 10 kHz, 1 kHz, 100 Hz, 10 Hz
constexpr int LcdDisplay = 5;
constexpr int ScanMode = 6;       // squelch scan or time scan
constexpr int ScanResumeTime = 7; // seconds - 1
constexpr int LcdDisplayInTx = 8;
constexpr int SwrProtectValue = 9; // tenths, 12..200
constexpr int BatteryMinimum = 10; // tenths of V, 105..170
constexpr int BatteryMaximum = 11;
constexpr int FirstModeEnable = 12;  // 12..17: LSB, USB, FM, AM, PA and CW enabled (0/1)
constexpr int SingleChangeData = 18; // channels keep their own functions (words 30..36 are 0)
constexpr int CommonOption = 19;
constexpr int SingleChangeFrequency = 20; // RX and TX may differ (older radio: else linked)
constexpr int FirstSquelchDelay = 21;     // 21..23: FM, AM, CW/USB/LSB squelch close delay
constexpr int FirstEmergencyChannel = 24; // 24..29: emergency channel of groups A..F, number - 1
constexpr int FirstCommonChannelFunction = 30; // 30..36: BUSY .. RB for every channel (0/1)
constexpr int SwrProtectEnabled = 37;
constexpr int DcProtectEnabled = 38;
constexpr int SingleTone = 39; // tens of Hz, 30..300
constexpr int ClarifierMode = 40;
constexpr int PushMode = 41;
} // namespace OptionWord
