#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The captions and list entries of the key assignment, scan, DTMF and FleetSync windows in
// either language, and the stored value each list entry stands for. The windows fill their
// lists from here and the configuration text names the same values, so both always agree.
// Every function taking a language gives the English text for LanguageEnglish and the Chinese
// text for LanguageChinese.
namespace FeatureTables {

// --- Key assignment: the functions of the programmable keys PF1 and PF2 -------------------
constexpr int KeyCount = 2;
QString keyLabel(int key); // "PF1", "PF2"
// The function codes the lists offer, in list order ("None" first).
const QList<int>& offeredKeyFunctions();
// The name of any function code the radio knows (also the reserved ones no list offers); the
// empty text for a code it does not know.
QString keyFunctionName(int code, int language);

// --- Scan information --------------------------------------------------------------------
enum ScanWord : int {
    ScanPriorityMode,
    ScanPriorityChannel,
    ScanLookBackA,
    ScanLookBackB,
    ScanRevertChannel,
    ScanDropoutDelay,
    ScanTxDwell,
    ScanWordCount
};
constexpr int NoPriorityChannel = 255;
constexpr int LookBackSteps = 91; // 0.50 s .. 5.00 s in steps of 0.05 s, stored 1..91
constexpr int MaxScanDelay = 300; // seconds
QString scanLabel(int word, int language);
QStringList priorityModeNames(int language); // "None", "Fixd", "Selected"
// The revert rule of stored value 0..3; the empty text for any other value.
QString revertChannelName(int value, int language);
// The revert rules a priority mode offers: without priority only the selected channel, with
// a selected priority only the priority channel, with a fixed one all four.
QList<int> revertChoices(int mode);
QStringList lookBackTimes(); // "0.50" .. "5.00"
// How many channels the model has, and so how many priority channels its list offers.
int priorityChannelCount(const QString& model);

// --- DTMF --------------------------------------------------------------------------------
constexpr int DtmfIdCodeLength = 10;
constexpr int DtmfMinIdCodeLength = 3;
constexpr int DtmfStunCodeLength = 10;
constexpr int DtmfAutodialLength = 16;
constexpr int DtmfAutodialMemories = 8;
// The Encode tab's five lists and its check box, in DtmfEncodeSetting order.
QString dtmfEncodeLabel(int setting, int language);
// The entries of Encode list 0..4. The first digit delay's entries are its milliseconds; it
// stores a tenth of them.
QStringList dtmfEncodeEntries(int setting, int language);
// The Decode tab's four lists and its check box, in DtmfDecodeSetting order.
QString dtmfDecodeLabel(int setting, int language);
// The entries of Decode list 0..3. The group code stores the character of its entry ("Off" 0).
QStringList dtmfDecodeEntries(int setting, int language);
QString dtmfIdCodeLabel(int language);
QString dtmfStunCodeLabel(int language);
QString dtmfStunTypeLabel(int language);
QStringList dtmfStunTypes(int language);
QString dtmfAutodialCaption(int language); // the tab and its grid's column
// A stun or autodial code as the DTMF window stores it: a code shorter than its field ends
// with one character 0, a full code has no terminator.
QByteArray terminatedDtmfCode(const QByteArray& text, int width);

// --- FleetSync ---------------------------------------------------------------------------
// Fleets 100..349 and IDs 1000..4999 are stored as offsets: fleet - 99, ID - 999.
constexpr int FleetOffset = 99;
constexpr int FleetIdOffset = 999;
constexpr int FirstFleet = 100;
constexpr int LastFleet = 349;
constexpr int FirstFleetId = 1000;
constexpr int LastFleetId = 4999;
constexpr int NoFleet = 255; // own fleet, and a list cell without a fleet or ID
constexpr int FleetListEntries = 8;
constexpr int MaxModulationDelay = 6000; // ms
constexpr int MaxMessageTimer = 300;     // s
// The settings tab's five lists (FleetSyncSettings order) and, as 5, the PTT ID side tone.
QString fleetSyncLabel(int setting, int language);
QStringList fleetSyncBaudRates();       // "1200", "2400"
QString fleetSyncOffText(int language); // the message mode timer's first entry
QString fleetListCaption(int language); // the second tab
QString fleetColumnCaption(int language);
QString fleetAllWord(int language); // "All": a list cell holding 0

} // namespace FeatureTables
