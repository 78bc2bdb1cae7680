#pragma once

#include "core/config/radioconfig.h"
#include "core/product/product.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>

// The radio's serial protocol: the frames the program sends and what it makes of the radio's
// replies, as pure functions over bytes. The session (programming mode), the several-radio
// probe and test mode build every frame here. The virtual radio, which plays the radio's side,
// keeps its own copy of the bytes on purpose, as the independent side of the line; it takes
// only the reply time from here.
//
// Programming mode, program -> radio -> program (hexadecimal):
//   "PROGRAM"                    -> 06                        enter programming mode
//   02                           -> 50 ("P") + 13 bytes       identification
//   06                           -> 06                        acknowledge
//   "R" aH aL n                  -> "W" aH aL n, n bytes, sum read a block
//   "W" aH aL n, n bytes, sum    -> 06                        write a block
//   "NTKK", 29 bytes, sum        -> 06                        information record
//   "V", 9 bytes                 -> 06                        version text
//   "E"                          -> 06                        leave programming mode
// The radio may also send its own information record ("NTK-", at least 34 bytes, sum) and
// version text ("V", 10 bytes). The sum is the 8-bit sum of every byte after the command byte
// up to the sum itself. Addresses are big-endian.
namespace RadioProtocol {
// How long the radio may stay silent after a frame before the program acts on the silence.
inline constexpr int ReplyTimeoutMs = 300;
// Bytes per block: a read fetches 64, a write sends 16, an information read fetches 16.
inline constexpr int ReadBlockLength = 64;
inline constexpr int WriteBlockLength = 16;
inline constexpr int InformationBlockLength = 16;

// Acknowledge: the radio sends it when it takes a command; the program sends it back to take
// each reply it judged good, which lets the radio go on to the next one.
inline constexpr char Ack = 0x06;
inline constexpr int AckLength = 1;
// Identification request: asks the radio who it is.
inline constexpr char IdentRequest = 0x02;
// The radio's identification reply: 14 bytes, the first one "P".
inline constexpr char IdentStart = 'P';
inline constexpr int IdentLength = 14;
inline constexpr char ProgramCommand[] = "PROGRAM";
inline constexpr char ReadCommand = 'R';
inline constexpr char DataCommand = 'W';
inline constexpr char EndCommand = 'E';
inline constexpr char VersionCommand = 'V';
// Command, two address bytes, length byte: the head of a read request and of a data frame.
inline constexpr int BlockHeadLength = 4;
inline constexpr int InformationFrameLength = 34;
inline constexpr int VersionFrameLength = 10;

// A data frame of n data bytes: head, data, checksum.
constexpr int dataFrameLength(int n) {
    return BlockHeadLength + n + 1;
}

// Sum modulo 256 of the bytes [from, to) of a frame (bytes past its end count as none).
uint8_t checksum(const QByteArray& frame, int from, int to);

QByteArray programCommand();
QByteArray identRequest();
QByteArray acknowledge();
QByteArray endCommand();
// "R" aH aL n; the address is taken modulo 0x10000.
QByteArray readRequest(int address, int length);
// "W" aH aL n, the n bytes, checksum.
QByteArray dataFrame(int address, const QByteArray& data);
// "NTKK", model copy (4), type letter, 4 x FF, band copy, 3 x FF, serial number (8), 8 x FF,
// checksum over bytes 1..32; texts end at their character 0, FF fills what they leave.
QByteArray informationFrame(const ModelInfo& info);
// "V", then the version text after its own leading "V" (trailing spaces dropped), FF after it.
QByteArray versionFrame(const ModelInfo& info);

// Who the radio says it is (the identification reply).
struct Identification {
    QByteArray modelCode; // bytes 1..4
    int bandCode = 0;     // byte 5
    int modelClass = 0;   // byte 6
    QByteArray firmware;  // bytes 8..11, "V100"
};

// What an identification says in the words the user reads. A band code the product has no
// text for shows as its number.
struct IdentityTexts {
    QString model;
    QString band;
    QString firmware;
};
IdentityTexts identityTexts(const Product& p, const Identification& id);

// The radio's own information record: what the information operations keep in ModelInfo.
struct InformationRecord {
    QString modelNameCopy; // model code ("715") of the radio code in bytes 4..7
    int16_t typeLetter = 0;
    int16_t bandCodeCopy = 0;
    QByteArray createDate; // bytes 17..24, each FF a character 0
};

enum class ReplyKind { None, Ack, Ident, Data, Information, Version };

// What a reply is, and what it carries for its kind.
struct Reply {
    ReplyKind kind = ReplyKind::None;
    Identification identity; // Ident
    QByteArray data;         // Data: the block's bytes
    InformationRecord information;
    QByteArray version; // Version: the text from its "V" on, ended by one character 0
};

// Tells what a reply is, tried in this order: an acknowledge (exactly 06); an identification
// (14 bytes from "P"); the data frame of the block [address, address + length) with a good
// checksum; an information record ("NTK-", at least 34 bytes, good checksum); a version text
// (10 bytes from "V"). Anything else is None: short, long, mis-addressed or corrupted replies
// never count.
Reply classifyReply(const QByteArray& reply, int blockAddress, int blockLength);

// Test mode, the radio's factory tuning state. Each queued entry appends the bytes of its
// frame code to the outgoing frame; the entry after it names the reply it awaits.
//   entry word "QALIBR "  -> 06          enter the tuning state
//   02                    -> 14 bytes    identification, as in programming mode
//   05                    -> 62 bytes    parameter block (layout in testmode.h)
//   06                    -> 06          acknowledge (not answered after a value read)
//   10 n                  -> 8 bytes     test frequency n: RX then TX, 4 BCD bytes each,
//                                        FF FF FF FF FF FF FF FF when the radio has none
//   11 n                  -> 06          select test signalling n
//   08 0D / 08 0E         -> 06          transmitter off / on
//   46 "F" / 47 "G"       -> 06          wide / narrow
//   p 0D                  -> (06)        select parameter p; answered only as the tune request
//                                        that follows a parameter block read
//   07                    -> n bytes     the values of the selected parameter's levels
//   p 20 v                -> nothing     set parameter p to v (live)
//   p 0E                  -> nothing     confirm parameter p
//   p 0A                  -> 1 byte      read parameter p once (live reading)
//   45 "E"                -> 06          leave the tuning state

inline constexpr char TestReadParameters = 0x05;
inline constexpr char TestReadValues = 0x07;
inline constexpr char TestReadFrequency = 0x10;
inline constexpr char TestSelectSignalling = 0x11;
inline constexpr char TestWide = 'F';
inline constexpr char TestNarrow = 'G';
inline constexpr char TestParameterOff = 0x0D; // after a parameter code; 08 0D: transmitter off
inline constexpr char TestParameterOn = 0x0E;  // after a parameter code; 08 0E: transmitter on
inline constexpr char TestReadOne = 0x0A;      // after a parameter code
inline constexpr char TestSetValue = 0x20;     // between a parameter code and its value
inline constexpr int TestFrequencyLength = 8;
inline constexpr int TestParameterBlockLength = 62;
} // namespace RadioProtocol

// Entry word of the tuning state: "QALIBR" (from "calibrate", as the radio's firmware spells
// it) followed by a space, seven bytes. No frame of programming mode starts with "Q".
inline constexpr std::array<char, 7> TestModeEntryWord{0x51, 0x41, 0x4C, 0x49, 0x42, 0x52, 0x20};
QByteArray testModeEntryWord();

// What a test-mode entry appends to the outgoing frame.
enum TestFrameCode : int {
    FrameEntryWord = 1,
    FrameIdentRequest = 2, // 02
    FrameAck = 3,          // 06
    FrameReadBlock = 4,    // 05
    FrameReadTestFreq = 5, // 10
    FrameValue1 = 6,       // value 1
    FrameSelect = 7,       // 11
    FrameWide = 8,         // "F"
    FrameNarrow = 9,       // "G"
    FrameOff = 12,         // 0D
    FrameOn = 13,          // 0E
    FrameReadValues = 14,  // 07
    FrameSetValue = 15,    // value 1, 20, value 2
    FrameReadOne = 16,     // value 1, 0A
    FrameEnd = 17,         // "E"
    FrameSkip = 67,        // nothing: go straight on to the next entry
    FrameLeave = 69,       // nothing: leave test mode
};

// How a test-mode entry judges the reply to the previous entry's frame.
enum TestReplyKind : int {
    ReplyNone = 0,      // none awaited
    ReplyBatched = -76, // the entry's frame joins the frame of the entry before it
    ReplyAck = 2,       // exactly 06
    ReplyIdent = 3,     // 14 bytes starting with "P"
    ReplyBlock = 4,     // the 62-byte parameter block
    ReplyTestFreq = 5,  // 8 bytes: test frequency value 1
    ReplyValues = 6,    // value 1 bytes: parameter values
    ReplyOneValue = 7,  // 1 byte: parameter value 1
};

// Bytes a test-mode entry appends to the outgoing frame (values are taken as bytes).
QByteArray testFrameBytes(int frameCode, int value1 = 0, int value2 = 0);
// The exact length of the reply an entry judges; 0 when it awaits none.
int testAwaitedReplyLength(int replyKind, int value1 = 0);
// True when a reply is the one an entry of this kind (value 1: its value) awaits.
bool testReplyMatches(int replyKind, int value1, const QByteArray& reply);
