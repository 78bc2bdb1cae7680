#pragma once

// Bytes of the radio's serial protocol that programming mode (session) and test mode
// (testmode) share. The virtual radio keeps its own copy: it stands for the radio, not for
// this program.
namespace RadioProtocol {
// Acknowledge: the radio sends it when it takes a command; the program sends it back to take
// each reply it judged good, which lets the radio go on to the next one.
inline constexpr char Ack = 0x06;
// Identification request: asks the radio who it is.
inline constexpr char IdentRequest = 0x02;
// The radio's identification reply: 14 bytes, the first one "P".
inline constexpr int IdentLength = 14;
} // namespace RadioProtocol
