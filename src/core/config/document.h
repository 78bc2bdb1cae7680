#pragma once

#include "core/product/product.h"
#include "modelband.h"
#include "radioconfig.h"

#include <QDate>
#include <QObject>
#include <QString>
#include <memory>

// What happens to the open configuration, for every window that shows part of it. Any number
// of windows listen; a window that goes away stops listening by itself.
class DocumentNotifier : public QObject {
    Q_OBJECT
  signals:
    // Channel n of the current group changed, was added or deleted: show its row again.
    void channelRowChanged(int channelNo);
    // The emergency channel words were corrected after channels came or went.
    void emergencyListsChanged();
    // The whole record was replaced (a file opened, a read from the radio, New, an undo).
    void configurationReplaced();
    // One step of the user's editing has ended; caption names it ("Change RX of A5") in the
    // current language. The edit history keeps the step when something really changed.
    void edited(const QString& caption);
};

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

    // Its change signals. A copy of the document has a notifier of its own that nobody
    // listens to, so that work on a copy (a read decoded before it is applied) shows nowhere.
    DocumentNotifier& notifier() const { return *m_notifier.object; }

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

    // Ends one step of the user's editing (see DocumentNotifier::edited). Inside an EditStep
    // the step is the EditStep's, and this reports nothing.
    void finishEdit(const QString& caption);

    int optionWordCount() const { return m_product->optionWordCount; }
    int currentBandCode() const { return bandCode(*m_product, currentBand, currentModel); }

  private:
    friend class EditStep;
    const Product* m_product;
    int m_editStepDepth = 0; // open EditSteps
    struct OwnNotifier {
        std::unique_ptr<DocumentNotifier> object = std::make_unique<DocumentNotifier>();
        OwnNotifier() = default;
        OwnNotifier(const OwnNotifier&) : OwnNotifier() {}
        OwnNotifier& operator=(const OwnNotifier&) { return *this; }
    } m_notifier;
};

// Gathers every change made while it lives (a paste of many rows, an import, Initial
// Setting) into one step of the user's editing, reported when it ends.
class EditStep {
  public:
    EditStep(Document& doc, QString caption);
    ~EditStep();
    EditStep(const EditStep&) = delete;
    EditStep& operator=(const EditStep&) = delete;

  private:
    Document& m_doc;
    QString m_caption;
};

// "Change %1" in the current language: the caption of a step that changed one setting.
QString changeCaption(const QString& what);

// Model text followed by one character 0, as ModelName and ModelNameCopy hold it.
QByteArray modelNameField(const QString& model);
