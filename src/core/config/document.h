#pragma once

#include "core/product/product.h"
#include "modelband.h"
#include "radioconfig.h"

#include <QDate>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>

// What happens to the open configuration, for every window that shows part of it. Any number
// of windows listen; a window that goes away stops listening by itself.
class StateChange;

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
    // A setting outside the channel table changed (options, message lines, hidden settings).
    void settingsChanged();
};

// The open configuration: the working record, its saved snapshot and the program-wide
// values that travel with it (model, band, limits, file name). There is one per program run;
// every editor works on it in place.
class Document {
  public:
    explicit Document(const Product& product);

    const Product& product() const { return *m_product; }

    // The working record, and the saved snapshot that the modified check compares against.
    const RadioConfig& config() const { return m_config; }
    const RadioConfig& snapshot() const { return m_snapshot; }

    // The model and band the configuration is for, and the band's frequency limits in MHz.
    const QString& model() const { return m_model; }
    const QString& band() const { return m_band; }
    double lowerLimit() const { return m_lowerLimit; }
    double upperLimit() const { return m_upperLimit; }

    // The data file the configuration belongs to. An untitled configuration has only the name
    // Save As proposes; loadedVersion is the data version of the record last opened.
    const QString& fileName() const { return m_fileName; }
    bool isUntitled() const { return m_untitled; }
    const QString& loadedVersion() const { return m_loadedVersion; }

    // Its change signals. A copy of the document has a notifier of its own that nobody
    // listens to, so that work on a copy (a read decoded before it is applied) shows nowhere.
    DocumentNotifier& notifier() const { return *m_notifier.object; }

    // Fills the record and program-wide values with the built-in defaults, loads the template
    // file over them when templatePath names a readable file, and takes the snapshot.
    void initialiseDefaults(const QString& templatePath = {}, QDate today = QDate::currentDate());

    // The working record differs from the snapshot in a value the user edits or a save keeps.
    bool isModified() const;
    // The record as a save writes it: model and band stamped into it, the program's version.
    RadioConfig recordToSave() const;
    // The record now is what its file holds (after a save, or when no file could be loaded).
    void takeSnapshot();

    // What happened to the file. None of them is a step of its own: a change of the file that
    // is part of an edit (Read from Radio) belongs to that edit's step.
    // The record openRecord just took came from the data file at path, which is now open.
    void fileOpened(const QString& path);
    // The record was written to path: it becomes the open file and the snapshot.
    void fileSaved(const QString& path);
    // The configuration belongs to no file yet (New, Read from Radio, a configuration text);
    // Save As proposes proposedName.
    void becameUntitled(const QString& proposedName);

    FixedText<8> storedTestFreq(const QString& shown) const;

    // Ends one step of the user's editing (see DocumentNotifier::edited). Inside an EditStep
    // the step is the EditStep's, and this reports nothing. Every change below ends its own
    // step with the caption it is given (a change that changes nothing records nothing).
    void finishEdit(const QString& caption);

    // --- The whole record ---------------------------------------------------------------
    // A file's record becomes both the snapshot and the working record (Open, a template);
    // model, band and version come from it. Not a step: the caller starts a fresh history.
    void openRecord(const RadioConfig& record);
    // As openRecord, but an edit of the open configuration: the snapshot stays that of the
    // open file, and the step named caption ends.
    void takeRecord(const RadioConfig& record, const QString& caption);
    // Another configuration (a read from the radio, decoded into a copy) replaces the
    // working record, model and band; the file stays. Ends the step named caption.
    void replaceConfiguration(const Document& source, const QString& caption);
    void replaceConfiguration(const RadioConfig& record, const QString& model, const QString& band,
                              const QString& caption);
    // Model and band as the Model window sets them (limits follow).
    void setModelAndBand(const QString& model, const QString& band, const QString& caption);
    // The group the channel grid shows. A view setting: it ends no step of its own.
    void setCurrentGroup(int group);
    // An undo (forward false) or redo of a step of the edit history, showing group again.
    void restoreStep(const StateChange& change, bool forward, int group);

    // --- Channels (of the current group unless a group is named) --------------------------
    // The one entry for every change of a channel cell: a frequency text for columns 1 and 2
    // (empty RX deletes the channel, empty TX copies RX), a list index as decimal text for
    // columns 3 to 10. Emits channelRowChanged and ends the step "Change RX of A5".
    void setChannelCell(int channelNo, int column, const QString& value);
    // Appends channel n with frequency f (shown form) to group g: scan add, only ECHO on.
    void addChannel(int group, int channelNo, const QString& shownFreq);
    // Deletes channels of a group one after another; the last channel of a group stays. Gives
    // the numbers it deleted; one step "Delete Channels".
    QList<int> deleteChannels(int group, const QList<int>& channelNos);
    // Puts channels into a group at their channel numbers, replacing a channel of the same
    // number or taking the next free place: one step "Paste Channels".
    void pasteChannels(int group, const QList<ChannelEntry>& entries);
    // Each group given a non-empty list is built anew from it, in its order: one step
    // "Import Channels".
    void importChannels(const std::array<QList<ChannelEntry>, GroupCount>& groups);
    // The emergency channel of a group, as its channel number.
    void setEmergencyChannel(int group, int channelNo, const QString& caption);

    // Edits of many channels of the current group at once. Each checks everything first and
    // changes nothing when any channel would leave the band or run past 60: it then gives the
    // problems, one line each; on success it gives nothing and ends one step.
    // One cell for every channel of the list: a frequency for columns 1 and 2 (RX creates the
    // channels the group lacks, an empty RX deletes them, an empty TX copies RX), a list index
    // as decimal text for columns 3 to 10 (channels the group lacks are left out).
    QStringList setChannelsCell(const QList<int>& channelNos, int column, const QString& value);
    // RX of the listed channels (ascending) from firstRxMhz on, stepKhz apart; TX = RX +
    // txOffsetKhz. Channels the group lacks are created.
    QStringList fillFrequencies(const QList<int>& channelNos, double firstRxMhz, double stepKhz,
                                double txOffsetKhz);
    // The group keeps its channel numbers; its channels take them in the order of their RX.
    void sortGroupByFrequency();
    // Moves the listed channel numbers (rows, whether they hold a channel or not) one up
    // (delta -1) or down (+1); the rows passed over take their place.
    QStringList moveChannels(const QList<int>& channelNos, int delta);
    // Frees channel number n: n and the channels after it, up to the first free number, move
    // down by one.
    QStringList insertChannelBefore(int channelNo);

    // --- Settings -------------------------------------------------------------------------
    void setOptionWord(int word, int value, const QString& caption);
    void setOptionWords(const std::array<int16_t, MaxOptionWords>& words, const QString& caption);
    void setMessageLine(int line, const QByteArray& bytes, const QString& caption);
    void setKeyAssignment(int key, int value, const QString& caption);
    void setScanWords(const std::array<int16_t, 7>& words, const QString& caption);
    void setDtmfSettings(const DtmfSettings& settings, const QString& caption);
    // The autodial memories in use: the first count entries of codes.
    void setDtmfAutodialMemories(int count, const std::array<DtmfCodeEntry, 8>& codes,
                                 const QString& caption);
    void setFleetSyncSettings(const FleetSyncSettings& settings, const QString& caption);
    // The FleetSync list rows in use: the first count entries of list.
    void setFleetSyncList(int count, const std::array<FleetSyncEntry, 8>& list,
                          const QString& caption);
    // The test frequencies in use: the first count entries; their marks then say which ones
    // still hold the band's defaults.
    void setTestFrequencies(int count, const std::array<TestFreqEntry, 16>& entries,
                            const QString& caption);
    // The radio information fields of the record (creation date, type, version...).
    void setModelInformation(const ModelInfo& info, const QString& caption);

    int optionWordCount() const { return m_product->optionWordCount; }
    int currentBandCode() const { return bandCode(*m_product, m_band, m_model); }

  private:
    friend class EditStep;
    friend struct FileState;  // the undo history puts a file's name and snapshot back
    friend class StateChange; // and the bytes of the record a step changed
    // Changes the working record through edit, then ends the step named caption.
    template <class Edit> void change(const QString& caption, Edit&& edit) {
        edit(m_config);
        emit notifier().settingsChanged();
        finishEdit(caption);
    }
    // Puts every group's emergency channel back on a channel the group holds: part of every
    // change that adds or deletes channels, inside that change's step.
    void refreshEmergencyChannels();
    void appendChannel(int group, int channelNo, const QString& shownFreq);
    void setChannelItem(int place, int column, const QString& value);
    void deleteChannelEntry(int place, int group);
    // Gives every channel of the current group number from[old number] (1..60, 0 = unused
    // slot); the emergency channel follows its channel. Ends the step named caption.
    void renumberChannels(const std::array<int, ChannelsPerGroup + 1>& to, const QString& caption);
    void markTestFrequencies();
    void deriveLimits(); // from the band
    const Product* m_product;
    RadioConfig m_config;
    RadioConfig m_snapshot;
    QString m_model;
    QString m_band;
    double m_lowerLimit = 100.0;
    double m_upperLimit = 500.0;
    QString m_fileName = QStringLiteral("new.dat");
    bool m_untitled = true;
    QString m_loadedVersion = QStringLiteral("V100");
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
