#pragma once

#include "core/product/product.h"

#include <QString>
#include <array>

// Model, band and version rules of the radio family.

// Removes spaces (only spaces) at both ends.
QString trimSpaces(const QString& s);
// A fixed-size text field as the windows show it: up to its first character 0, spaces trimmed.
QString shownFieldText(const QByteArray& raw);
// A model text as compared: spaces trimmed, one trailing character 0 dropped.
QString cleanModelText(const QString& s);
// The shortest decimal text of a double ("155.05", "136.1"), always with ".".
QString shortestNumber(double v);
// True when s (spaces trimmed) parses completely as a finite decimal number.
bool isNumericText(const QString& s, double* value = nullptr);

// The stored form of a shown frequency: "28.015000" MHz is "28015000" (8 digits of Hz, the
// digits after the point follow the two before it). A text that is no number stands for the
// lower band limit; an empty text stays empty.
QString storedFrequencyText(const QString& shown, double lowerLimit);

int modelClass(const QString& model);
int bandCode(const Product& p, const QString& band, const QString& model);
QString bandText(const Product& p, int code, const QString& model);
// Model text of the radio's identity (model class, band code).
QString modelTextFromIdentity(const Product& p, int modelClass, int bandCode);
// Radio type code ("5810") to the model text copy ("610").
QString radioTypeToModelText(const QString& code);

struct BandLimits {
    double lower = 100.0;
    double upper = 500.0;
};
BandLimits deriveFrequencyLimits(const QString& band);

// Data file version rule: the first three characters are compared.
bool versionCompatible(const QString& a, const QString& b);
extern const char* const ProgramDataVersion; // "V100"

// Band texts a model offers in the model window.
QStringList bandsOfferedFor(const QString& model);

// Band-plan tables behind the default test frequencies.
constexpr int BandPlanCount = 6;
struct BandPlanLimits {
    double lower;
    double upper;
};
extern const std::array<BandPlanLimits, BandPlanCount> BandLimitTable;
// Index into BandLimitTable of a band text (0 for any text not in the list).
int bandPlanIndex(const QString& band);
// Index used when marking test frequencies (its own list; 0 for any other text).
int testMarkBandIndex(const QString& band);

struct TestFreqPair {
    QString rx;
    QString tx;
};
// DefaultTestFreqTable[b][e - 1]: shown texts of test entry e (1..16) of band plan b.
using DefaultTestFreqs = std::array<std::array<TestFreqPair, 16>, BandPlanCount>;
const DefaultTestFreqs& defaultTestFreqTable();
