#pragma once

#include "core/product/product.h"

#include <QByteArray>

#include <array>
#include <cstdint>

// The radio's tuning state: entered with the test-mode entry word, left with "E". While it
// lasts the radio speaks only the test-mode frames (comm/testmode.h has the exchange):
//   02, 05, 06, 07, "E", "F", "G"   one byte
//   10 n, 11 n                      two bytes
//   p 0D, p 0E, p 0A                two bytes (p a parameter code, or 08 for the transmitter)
//   p 20 v                          three bytes
class TestModeRadio {
  public:
    // The radio holds the band default test frequencies of its product's default
    // configuration; differ (1..16, 0 none) makes that entry differ from them.
    TestModeRadio(const Product& product, int differ);

    bool active() const { return m_active; }

    // Length of the frame at the start of `in`: the full length, 0 while more bytes are needed,
    // -1 when the first byte starts no frame. Used in programming mode for the entry word.
    static int entryWordLength(const QByteArray& in);
    int frameLength(const QByteArray& in) const;

    // The radio's answer to one frame (empty: none). The entry word enters the tuning state.
    QByteArray handle(const QByteArray& frame, const QByteArray& identification);

    // What the program has set, for whoever looks at the radio.
    int signalling() const { return m_signalling; }
    int testChannel() const { return m_channel; }
    bool transmitting() const { return m_transmitting; }
    bool wide() const { return m_wide; }
    int liveValue(int code) const { return m_live.at(size_t(code & 0x7F)); }
    int storedValue(int code) const { return m_stored.at(size_t(code & 0x7F)); }

  private:
    QByteArray parameterBlock() const;
    QByteArray valuesOfSelected() const;

    bool m_active = false;
    bool m_wide = true;
    bool m_transmitting = false;
    bool m_blockJustSent = false; // the next parameter selection is the tune request
    bool m_valueJustSent = false; // the acknowledge after a value read is not answered
    int m_selected = 0;
    int m_signalling = 1;
    int m_channel = 0;
    int m_reads = 0;
    std::array<QByteArray, 16> m_testFreqs; // 8 bytes each: RX, TX in BCD; FF when none
    std::array<uint8_t, 128> m_live{};
    std::array<uint8_t, 128> m_stored{};
};
