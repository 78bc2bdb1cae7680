#pragma once

#include "modelband.h"
#include "core/product/product.h"
#include "radioconfig.h"

#include <QDate>
#include <QString>
#include <functional>

// The open configuration: the working record, its saved snapshot and the program-wide
// values that travel with it (model, band, limits, file name). There is one per program run;
// every editor works on it in place.
class Document {
public:
    explicit Document(const Product& product);

    const Product& product() const { return *m_product; }

    RadioConfig config;   // the working record
    RadioConfig snapshot; // what the modified check compares against

    QString currentModel;
    QString currentBand;
    double lowerLimit = 100.0; // MHz, from currentBand
    double upperLimit = 500.0;

    QString fileName = QStringLiteral("new.dat");
    bool untitled = true;
    QString loadedVersion = QStringLiteral("V100");

    // Set by the channel grid (or, in solvir, the optional-features window) while it is open.
    struct Hooks {
        std::function<void(int channelNo)> channelShown;  // show row n again from the table
        std::function<void()> emergencyListsChanged;      // rebuild the emergency channel lists
    } hooks;

    // Fills the record and program-wide values with the built-in defaults, loads the template
    // file over them when templatePath names a readable file, and takes the snapshot.
    void initialiseDefaults(const QString& templatePath = {}, QDate today = QDate::currentDate());

    // Appends channel n with frequency f (shown form) to group g: scan add, only ECHO on.
    void addChannel(int g, int n, const QString& f);

    bool isModified() const;
    void takeSnapshot();
    void restoreFromSnapshot();
    void deriveLimits();
    void markTestFrequencies();

    FixedText<8> storedTestFreq(const QString& shown) const;

    int optionWordCount() const { return m_product->optionWordCount; }
    int currentBandCode() const { return bandCode(*m_product, currentBand, currentModel); }

private:
    const Product* m_product;
};

// Model text followed by one character 0, as ModelName and ModelNameCopy hold it.
QByteArray modelNameField(const QString& model);
