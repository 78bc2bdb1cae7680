// Every change the document offers is one step of the edit history, named by its caption,
// and its undo gives back every byte.

#include "core/channels/channelrules.h"
#include "core/config/datafile.h"
#include "ui/common/edithistory.h"

#include <QTest>
#include <functional>

namespace {

using Mutation = std::function<void(Document&)>;

ChannelEntry channel(int n, const char* freq) {
    ChannelEntry e;
    e.channelNo = int16_t(n);
    e.inUse = 1;
    e.rxFreq.assign(QByteArray(freq));
    e.txFreq.assign(QByteArray(freq));
    e.scanFlag = 1;
    return e;
}

} // namespace

Q_DECLARE_METATYPE(Mutation)

class TestDocumentSteps : public QObject {
    Q_OBJECT
  private slots:
    void everyChangeIsOneStep_data();
    void everyChangeIsOneStep();
};

void TestDocumentSteps::everyChangeIsOneStep_data() {
    QTest::addColumn<Mutation>("mutation");
    QTest::addColumn<QString>("caption");
    // Steps after the same change is made again: a move moves once more.
    QTest::addColumn<int>("stepsAfterRepeat");
    const QString c = QStringLiteral("Change Setting");
    auto row = [](const char* name, Mutation m, const QString& caption, int repeated = 1) {
        QTest::newRow(name) << m << caption << repeated;
    };
    row(
        "setChannelCell", [](Document& d) { d.setChannelCell(1, ColRx, QStringLiteral("27.5")); },
        QStringLiteral("Change RX of A1"));
    row(
        "setChannelCell flag", [](Document& d) { d.setChannelCell(2, 4, QStringLiteral("1")); },
        QStringLiteral("Change VOIC of A2"));
    row(
        "addChannel", [](Document& d) { d.addChannel(0, 9, QStringLiteral("28.5")); },
        QStringLiteral("Change RX of A9"));
    row(
        "deleteChannels", [](Document& d) { d.deleteChannels(0, {2}); },
        QStringLiteral("Delete Channels"));
    row(
        "pasteChannels", [](Document& d) { d.pasteChannels(0, {channel(7, "27125000")}); },
        QStringLiteral("Paste Channels"));
    row(
        "importChannels",
        [](Document& d) {
            std::array<QList<ChannelEntry>, GroupCount> groups;
            groups[1] = {channel(4, "26500000"), channel(2, "26600000")};
            d.importChannels(groups);
        },
        QStringLiteral("Import Channels"));
    row(
        "setChannelsCell",
        [](Document& d) {
            d.setChannelsCell({1, 2, 3}, 4, QStringLiteral("1"));
        },
        QStringLiteral("Change VOIC of 3 Channels"));
    row(
        "fillFrequencies",
        [](Document& d) {
            d.fillFrequencies({1, 3}, 27.0, 10, 5);
        },
        QStringLiteral("Fill Frequencies"));
    row(
        "sortGroupByFrequency", [](Document& d) { d.sortGroupByFrequency(); },
        QStringLiteral("Sort by Frequency"));
    row(
        "moveChannels", [](Document& d) { d.moveChannels({2}, 1); },
        QStringLiteral("Move Channels Down"), 2);
    row(
        "insertChannelBefore", [](Document& d) { d.insertChannelBefore(1); },
        QStringLiteral("Insert Channel"));
    row(
        "setEmergencyChannel", [c](Document& d) { d.setEmergencyChannel(0, 2, c); }, c);
    row(
        "setOptionWord", [c](Document& d) { d.setOptionWord(0, 5, c); }, c);
    row(
        "setOptionWords",
        [c](Document& d) {
            auto w = d.config().optionWords;
            w[3] = 7;
            w[12] = 0;
            d.setOptionWords(w, c);
        },
        c);
    row(
        "setMessageLine", [c](Document& d) { d.setMessageLine(1, QByteArray("HELLO\0", 6), c); },
        c);
    row(
        "setKeyAssignment", [c](Document& d) { d.setKeyAssignment(1, 3, c); }, c);
    row(
        "setScanWords",
        [c](Document& d) {
            d.setScanWords({2, 5, 31, 51, 0, 1, 2}, c);
        },
        c);
    row(
        "setDtmfSettings",
        [c](Document& d) {
            DtmfSettings s = d.config().dtmf;
            s.idCode.assign(QByteArray("4711"));
            s.decode[DtmfCallAlert] = 2;
            d.setDtmfSettings(s, c);
        },
        c);
    row(
        "setDtmfAutodialMemories",
        [c](Document& d) {
            auto codes = d.config().dtmfCodes;
            codes[0].number = 3;
            codes[0].code.assign(QByteArray("123*#\0", 6));
            d.setDtmfAutodialMemories(1, codes, c);
        },
        c);
    row(
        "setFleetSyncSettings",
        [c](Document& d) {
            FleetSyncSettings s = d.config().fleetSync;
            s.ownFleet = 10;
            s.ownId = 1000;
            d.setFleetSyncSettings(s, c);
        },
        c);
    row(
        "setFleetSyncList",
        [c](Document& d) {
            d.setFleetSyncList(1, {FleetSyncEntry{2, 0, 5}}, c);
        },
        c);
    row(
        "setTestFrequencies",
        [c](Document& d) {
            auto freqs = d.config().testFreqs;
            freqs[0].rxFreq.assign(QByteArray("27000000"));
            d.setTestFrequencies(d.config().testFreqCount, freqs, c);
        },
        c);
    row(
        "setModelInformation",
        [c](Document& d) {
            ModelInfo mi = d.config().modelInfo;
            mi.createDate.assign(QByteArray("20100101"));
            d.setModelInformation(mi, c);
        },
        c);
    row(
        "setModelAndBand",
        [c](Document& d) {
            d.setModelAndBand(QStringLiteral("864"), QStringLiteral("26.51500 - 27.85500 MHz"), c);
        },
        c);
    row(
        "replaceConfiguration",
        [c](Document& d) {
            RadioConfig r = d.config();
            r.optionWords[5] = 9;
            r.groupChannelCount[4] = 0;
            d.replaceConfiguration(r, d.model(), d.band(), c);
        },
        c);
    row(
        "replaceConfiguration from a document",
        [c](Document& d) {
            Document radio = d;
            radio.setModelAndBand(QStringLiteral("863"), d.band(), c);
            radio.setChannelCell(1, ColRx, QStringLiteral("27.25"));
            d.replaceConfiguration(radio, c);
        },
        c);
    row(
        "takeRecord",
        [c](Document& d) {
            RadioConfig r = d.config();
            r.embeddedMessage[0].assign(QByteArray("FACTORY\0", 8));
            d.takeRecord(r, c);
        },
        c);
}

void TestDocumentSteps::everyChangeIsOneStep() {
    QFETCH(Mutation, mutation);
    QFETCH(QString, caption);
    QFETCH(int, stepsAfterRepeat);
    Document doc(meridoxProduct());
    doc.initialiseDefaults();
    doc.addChannel(0, 2, QStringLiteral("26.200000"));
    doc.takeSnapshot();
    EditHistory history(doc);
    const QByteArray before = encodeRecord(doc.product(), doc.config());
    const QString model = doc.model();
    const QString band = doc.band();

    mutation(doc);
    const QByteArray after = encodeRecord(doc.product(), doc.config());
    QVERIFY(after != before);
    QCOMPARE(history.stack().count(), 1);
    QCOMPARE(history.stack().text(0), caption);

    history.undo();
    QCOMPARE(encodeRecord(doc.product(), doc.config()), before);
    QCOMPARE(doc.model(), model);
    QCOMPARE(doc.band(), band);
    QVERIFY(!doc.isModified());
    history.redo();
    QCOMPARE(encodeRecord(doc.product(), doc.config()), after);

    // The same change again changes nothing (no step of its own), but a move moves again.
    mutation(doc);
    QCOMPARE(history.stack().count(), stepsAfterRepeat);
}

QTEST_MAIN(TestDocumentSteps)
#include "tst_documentsteps.moc"
