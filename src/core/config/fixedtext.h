#pragma once

#include <QByteArray>
#include <QString>
#include <array>
#include <cstring>

// A fixed-width text field of the configuration record: always N characters, one byte each.
// Assigning a shorter value pads it with spaces, a longer one is cut. A field that was never
// assigned holds N bytes 0.
template <int N> struct FixedText {
    std::array<char, N> bytes{};

    FixedText() = default;
    explicit FixedText(const QByteArray& value) { assign(value); }

    void assign(const QByteArray& value) {
        const int n = std::min<int>(N, int(value.size()));
        std::memcpy(bytes.data(), value.constData(), size_t(n));
        std::memset(bytes.data() + n, ' ', size_t(N - n));
    }
    void assign(const QString& value) { assign(value.toLatin1()); }

    // The "empty text": one character 0 followed by spaces.
    void assignEmpty() { assign(QByteArray(1, '\0')); }

    QByteArray raw() const { return QByteArray(bytes.data(), N); }
    QString text() const { return QString::fromLatin1(bytes.data(), N); }

    // The text up to the first character 0 (how codes and message lines are shown).
    QByteArray untilNul() const {
        const void* z = std::memchr(bytes.data(), 0, N);
        return QByteArray(bytes.data(), z ? int(static_cast<const char*>(z) - bytes.data()) : N);
    }

    bool operator==(const FixedText&) const = default;
    static constexpr int size = N;
};
