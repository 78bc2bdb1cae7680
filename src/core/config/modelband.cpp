#include "modelband.h"

#include <QLocale>
#include <cmath>

const char* const ProgramDataVersion = "V100";

QString trimSpaces(const QString& s) {
    qsizetype b = 0, e = s.size();
    while (b < e && s.at(b) == QLatin1Char(' '))
        ++b;
    while (e > b && s.at(e - 1) == QLatin1Char(' '))
        --e;
    return s.mid(b, e - b);
}

QString shownFieldText(const QByteArray& raw) {
    const qsizetype nul = raw.indexOf('\0');
    return trimSpaces(QString::fromLatin1(nul < 0 ? raw : raw.left(nul)));
}

QString cleanModelText(const QString& s) {
    QString t = trimSpaces(s);
    if (t.endsWith(QChar(0))) t.chop(1);
    return t;
}

QString shortestNumber(double v) {
    return QLocale::c().toString(v, 'g', QLocale::FloatingPointShortest);
}

bool isNumericText(const QString& s, double* value) {
    const QString t = trimSpaces(s);
    if (t.isEmpty()) return false;
    for (QChar c : t) {
        // Only plain decimal notation: digits, one sign, point and exponent.
        if (!(c.isDigit() || c == QLatin1Char('.') || c == QLatin1Char('-') ||
              c == QLatin1Char('+') || c == QLatin1Char('e') || c == QLatin1Char('E')))
            return false;
        if (c.unicode() > 127) return false;
    }
    bool ok = false;
    const double v = QLocale::c().toDouble(t, &ok);
    if (!ok || !std::isfinite(v)) return false;
    if (value) *value = v;
    return true;
}

int modelClass(const QString& model) {
    const QString m = trimSpaces(model);
    if (m == QLatin1String("864")) return 249;
    if (m == QLatin1String("5470")) return 252;
    return 248;
}

int bandCode(const Product& p, const QString& band, const QString& model) {
    const QString m = trimSpaces(model);
    const bool is864 = m == QLatin1String("864");
    const bool is863 = m == QLatin1String("863");
    if (band == p.band4Text) return 4;
    if (band == QLatin1String("26.51500 - 27.85500 MHz")) return 3;
    if (band == QLatin1String("136 - 174 MHz")) return is864 ? 1 : 99;
    if (band == QLatin1String("245 - 246 MHz")) return is864 ? 0 : 1;
    if (band == QLatin1String("350 - 390 MHz")) return is863 ? 83 : 1;
    if (band == QLatin1String("400 - 470 MHz")) return is863 ? 67 : 65;
    if (band == QLatin1String("470 - 512 MHz")) return is863 ? 51 : 33;
    if (band == QLatin1String("450 - 520 MHz")) return is863 ? 48 : 49;
    return 0;
}

QString bandText(const Product& p, int code, const QString& model) {
    const QString m = trimSpaces(model);
    switch (code) {
    case 0:
        return QStringLiteral("245 - 246 MHz");
    case 1:
        if (m == QLatin1String("864")) return QStringLiteral("136 - 174 MHz");
        if (m == QLatin1String("5470")) return QStringLiteral("350 - 390 MHz");
        return QStringLiteral("245 - 246 MHz");
    case 3:
        return QStringLiteral("26.51500 - 27.85500 MHz");
    case 4:
        return p.band4Text;
    case 33:
    case 51:
        return QStringLiteral("470 - 512 MHz");
    case 48:
    case 49:
        return QStringLiteral("450 - 520 MHz");
    case 65:
    case 67:
        return QStringLiteral("400 - 470 MHz");
    case 83:
        return QStringLiteral("350 - 390 MHz");
    case 99:
        return QStringLiteral("136 - 174 MHz");
    default:
        return {};
    }
}

QString modelTextFromIdentity(const Product& p, int cls, int code) {
    if (p.modelFamily == Product::ModelFamily::Older) {
        switch (cls) {
        case 248:
            return code == 3 ? QStringLiteral("WX40") : QStringLiteral("5480");
        case 249:
            return QStringLiteral("864");
        case 252:
            return QStringLiteral("5470");
        default:
            return QStringLiteral("863");
        }
    }
    switch (cls) {
    case 248:
        if (code == 99 || code == 1) return QStringLiteral("5480");
        if (code == 3) return QStringLiteral("WX40");
        return QStringLiteral("SOLV");
    case 249:
        return QStringLiteral("864");
    case 252:
        return QStringLiteral("5470");
    default:
        return QStringLiteral("SOLV");
    }
}

QString radioTypeToModelText(const QString& code) {
    static const char* const map[][2] = {{"5810", "610"}, {"5814", "614"}, {"5815", "615"},
                                         {"5910", "710"}, {"5914", "714"}, {"5915", "715"}};
    for (const auto& m : map)
        if (code == QLatin1String(m[0])) return QString::fromLatin1(m[1]);
    return {};
}

BandLimits deriveFrequencyLimits(const QString& band) {
    BandLimits r;
    const qsizetype p = band.indexOf(QLatin1String(" - "));
    if (p < 0) return r;
    double v = 0;
    if (isNumericText(band.left(p), &v)) r.lower = v;
    const qsizetype q = band.indexOf(QLatin1String(" MHz"), p);
    if (q >= 0 && isNumericText(band.mid(p + 3, q - p - 3), &v)) r.upper = v;
    return r;
}

bool versionCompatible(const QString& a, const QString& b) {
    return a.size() >= 3 && b.size() >= 3 && a.left(3) == b.left(3);
}

QStringList bandsOfferedFor(const QString& model) {
    const QString m = trimSpaces(model);
    const QStringList uhf{QStringLiteral("350 - 390 MHz"), QStringLiteral("400 - 470 MHz"),
                          QStringLiteral("470 - 512 MHz"), QStringLiteral("450 - 520 MHz")};
    const QStringList vhf{QStringLiteral("136 - 174 MHz"), QStringLiteral("245 - 246 MHz")};
    if (m == QLatin1String("WX40")) return {QStringLiteral("26.51500 - 27.85500 MHz")};
    if (m == QLatin1String("863") || m == QLatin1String("5470")) return uhf;
    if (m == QLatin1String("864") || m == QLatin1String("5480")) return vhf;
    return {};
}

// Index 1 stands for "245 - 246 MHz" but holds 255..256: the radios' test plan uses it so.
const std::array<BandPlanLimits, BandPlanCount> BandLimitTable{{
    {136.0, 174.0},
    {255.0, 256.0},
    {350.0, 390.0},
    {400.0, 470.0},
    {470.0, 512.0},
    {450.0, 520.0},
}};

static int indexOfFirst13(const QString& band, const char* const (&list)[BandPlanCount]) {
    const QString head = band.left(13);
    for (int i = 0; i < BandPlanCount; ++i)
        if (head == QLatin1String(list[i])) return i;
    return 0;
}

int bandPlanIndex(const QString& band) {
    static const char* const list[BandPlanCount] = {"136 - 174 MHz", "245 - 246 MHz",
                                                    "350 - 390 MHz", "400 - 470 MHz",
                                                    "470 - 512 MHz", "450 - 520 MHz"};
    return indexOfFirst13(band, list);
}

int testMarkBandIndex(const QString& band) {
    static const char* const list[BandPlanCount] = {"136 - 174 MHz", "350 - 370 MHz",
                                                    "370 - 390 MHz", "400 - 430 MHz",
                                                    "440 - 480 MHz", "450 - 490 MHz"};
    return indexOfFirst13(band, list);
}

const DefaultTestFreqs& defaultTestFreqTable() {
    static const DefaultTestFreqs table = [] {
        DefaultTestFreqs t;
        const QString empty(1, QChar(0));
        for (int b = 0; b < BandPlanCount; ++b) {
            const double l = BandLimitTable[size_t(b)].lower;
            const double h = BandLimitTable[size_t(b)].upper;
            const double mid = (l + h) / 2;
            const double values[6][2] = {{mid + 0.05, mid + 0.1}, {l + 0.05, l + 0.1},
                                         {h - 0.05, h - 0.1},     {mid, mid},
                                         {mid + 0.2, mid + 0.2},  {mid + 0.4, mid + 0.4}};
            for (int e = 0; e < 16; ++e) {
                auto& pair = t[size_t(b)][size_t(e)];
                if (e < 6) {
                    pair.rx = shortestNumber(values[e][0]);
                    pair.tx = shortestNumber(values[e][1]);
                } else {
                    pair.rx = pair.tx = empty;
                }
            }
        }
        return t;
    }();
    return table;
}

QString storedFrequencyText(const QString& t, double lowerLimit) {
    if (t.isEmpty()) return {};
    const QString s = isNumericText(t) ? t : shortestNumber(lowerLimit);
    const qsizetype p = s.indexOf(QLatin1Char('.'));
    if (p < 0) return s;
    // p is 0-based here: the text after the point has length - (p + 1) characters.
    return s.left(2) + t.right(s.size() - (p + 1));
}
