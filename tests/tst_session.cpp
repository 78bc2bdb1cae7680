// The session engine against an in-process line: step tables, time-outs, retries, identity.
#include "core/comm/session.h"
#include "core/config/datafile.h"
#include "fakelink.h"
#include "recordedit.h"
#include "testsupport.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {
// The radio's side, as far as these tests need it.
struct FakeRadio {
    QByteArray memory;
    QByteArray ident;
    int ignorePrograms = 0;
    int ignoreIdents = 0;
    int silentAfterBlocks = -1; // blocks answered before falling silent
    int blocks = 0;
    std::function<QByteArray(QByteArray)> mangleData; // changes a data reply

    FakeRadio(const Product& p, const char* model = "SOLV", int band = 4, int cls = 248,
              const char* firmware = "V100") {
        Document d(p);
        d.initialiseDefaults();
        clearRadioImage(p, memory);
        buildRadioImage(d, memory);
        ident = QByteArray("P") + QByteArray(model).left(4) + char(band) + char(cls) + '\0' +
                QByteArray(firmware).left(4) + QByteArray(2, '\0');
    }

    QByteArray respond(const QByteArray& f) {
        if (f == "PROGRAM") return ignorePrograms-- > 0 ? QByteArray() : QByteArray(1, 6);
        if (f.size() == 1 && f.at(0) == 2) return ignoreIdents-- > 0 ? QByteArray() : ident;
        if (f.size() == 1) return QByteArray(1, 6);
        if (silentAfterBlocks >= 0 && blocks >= silentAfterBlocks) return {};
        const int addr = (uint8_t(f.at(1)) << 8) | uint8_t(f.at(2));
        const int n = uint8_t(f.at(3));
        if (f.at(0) == 'R') {
            ++blocks;
            QByteArray r = QByteArray("W") + f.mid(1, 3) + memory.mid(addr, n);
            r += char(RadioProtocol::checksum(r, 1, r.size()));
            return mangleData ? mangleData(r) : r;
        }
        if (f.at(0) == 'W') {
            ++blocks;
            memory.replace(addr, n, f.mid(4, n));
            return QByteArray(1, 6);
        }
        return QByteArray(1, 6); // information and version frames
    }
};

QStringList lines(std::initializer_list<const char*> texts) {
    QStringList out;
    for (const char* t : texts)
        out << QString::fromUtf8(t);
    return out;
}

int address(const QByteArray& frame) {
    return (uint8_t(frame.at(1)) << 8) | uint8_t(frame.at(2));
}
} // namespace

class TestSession : public QObject {
    Q_OBJECT

    struct Rig {
        Document doc;
        FakeLink link;
        RadioSession session{doc, link};
        FakeRadio radio;
        explicit Rig(const Product& p) : doc(p), radio(p) {
            doc.initialiseDefaults();
            session.setPortName(QStringLiteral("/dev/fake"));
            session.setReplyTimeout(3600 * 1000); // silence is played with replyTimedOut()
            link.responder = [this](const QByteArray& f) { return radio.respond(f); };
        }
        // Delivers every reply the radio gave until the session waits for one that does not come.
        bool settle() {
            QElapsedTimer waited;
            waited.start();
            while (link.pending > 0) {
                if (waited.hasExpired(10000)) return false;
                QCoreApplication::processEvents();
            }
            return true;
        }
        // Runs the session to its end; each silence of the radio is a time-out at once. False
        // on a hang.
        bool finish() {
            for (int i = 0; i < 1000 && session.busy(); ++i) {
                if (!settle()) return false;
                if (session.busy()) session.replyTimedOut();
            }
            return !session.busy();
        }
        QList<QByteArray> framesStartingWith(char c) const {
            QList<QByteArray> out;
            for (const auto& f : link.frames)
                if (!f.isEmpty() && f.at(0) == c && f != "PROGRAM") out << f;
            return out;
        }
    };

  private slots:
    void fullRead_data();
    void fullRead();
    void fullWrite_data();
    void fullWrite();
    void programAnsweredOnSecondTry();
    void silenceAsksRetryOrCancel_data();
    void silenceAsksRetryOrCancel();
    void wrongIdentLengthIgnored_data();
    void wrongIdentLengthIgnored();
    void badDataFrameIgnored_data();
    void badDataFrameIgnored();
    void restartPromptStartsOver_data();
    void restartPromptStartsOver();
    void identityRejected_data();
    void identityRejected();
    void olderRadioIdentity();
    void informationRead();
    void informationWriteFrames();
    void retryAsksForTheLostInformationBlockAgain();
    void radioRecordsOnlyFromSucceededInformationOperations_data();
    void radioRecordsOnlyFromSucceededInformationOperations();
    void onlyOneOperationAtATime();
    void portOpenFailure();
    void deviceLostMidSession();
    void cancelLeavesProgrammingMode();
    void unusableReadChangesNothing();
    void cancelAtQuestion();
    void traceOfEveryEnding_data();
    void traceOfEveryEnding();
    void rawImageWriteSendsItsBytes_data();
    void rawImageWriteSendsItsBytes();
    void rawImageOfWrongSizeRefused();
    void verifyComparesWhatWasWritten_data();
    void verifyComparesWhatWasWritten();
    void verifyReadThatFailsFailsTheWrite();
    void verifyListShortEnoughForTheScreen();
};

void TestSession::fullRead_data() {
    QTest::addColumn<const Product*>("product");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::addColumn<int>("count");
    QTest::newRow("meridox") << &meridoxProduct() << 0x0000 << 0x1DC0 << 120;
    QTest::newRow("solvir") << &solvirProduct() << 0x0000 << 0x0EC0 << 60;
}

void TestSession::fullRead() {
    QFETCH(const Product*, product);
    QFETCH(int, first);
    QFETCH(int, last);
    QFETCH(int, count);
    ScriptedMessages msgs;
    msgs.answers = {MsgAnswer::Ok};
    Rig rig(*product);
    // The radio holds a configuration with an extra channel 7 in group C.
    Document source(*product);
    source.initialiseDefaults();
    source.addChannel(2, 7, QStringLiteral("27.125000"));
    clearRadioImage(*product, rig.radio.memory);
    QVERIFY(!buildRadioImage(source, rig.radio.memory));
    rig.radio.memory.replace(product->headerBase, 14, rig.radio.ident);
    rig.doc.fileOpened(QStringLiteral("/somewhere/mine.dat"));
    QSignalSpy progress(&rig.session, &RadioSession::progressChanged);
    QSignalSpy done(&rig.session, &RadioSession::finished);

    QVERIFY(rig.session.readFromRadio());
    QVERIFY(rig.finish());
    QCOMPARE(done.size(), 1);
    QCOMPARE(done.first().at(1).toBool(), true);
    const auto& f = rig.link.frames;
    QCOMPARE(f.at(0), QByteArray("PROGRAM"));
    QCOMPARE(f.at(1), QByteArray(1, 2));
    QCOMPARE(f.at(2), QByteArray(1, 6));
    const auto reads = rig.framesStartingWith('R');
    QCOMPARE(reads.size(), count);
    QCOMPARE(address(reads.first()), first);
    QCOMPARE(address(reads.last()), last);
    QCOMPARE(uint8_t(reads.first().at(3)), 64);
    QCOMPARE(f.last(), QByteArray("E"));
    QCOMPARE(msgs.texts().last(), QStringLiteral("Read Data Completed."));
    QCOMPARE(rig.doc.config().groupChannelCount[2], 2);
    QCOMPARE(rig.doc.config().entry(2, 2).channelNo, 7);
    QCOMPARE(rig.doc.fileName(), QStringLiteral("new.dat"));
    QVERIFY(rig.doc.isUntitled());
    QVERIFY(!rig.link.isOpen());
    QVERIFY(!progress.isEmpty());
    QVERIFY(progress.last().at(0).toInt() <= 100);
}

void TestSession::fullWrite_data() {
    QTest::addColumn<const Product*>("product");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::addColumn<int>("count");
    QTest::newRow("meridox") << &meridoxProduct() << 0x0010 << 0x1DD0 << 477;
    QTest::newRow("solvir") << &solvirProduct() << 0x0000 << 0x0EE0 << 239;
}

void TestSession::fullWrite() {
    QFETCH(const Product*, product);
    QFETCH(int, first);
    QFETCH(int, last);
    QFETCH(int, count);
    ScriptedMessages msgs;
    msgs.answers = {MsgAnswer::Ok, MsgAnswer::Ok}; // the question, and solvir's overwrite
    Rig rig(*product);
    editRecord(rig.doc, [&](RadioConfig& c) { c.embeddedMessage[0].assign(QByteArray("HELLO")); });
    QVERIFY(rig.session.writeToRadio());
    QVERIFY(rig.finish());
    const auto writes = rig.framesStartingWith('W');
    QCOMPARE(writes.size(), count);
    QCOMPARE(address(writes.first()), first);
    QCOMPARE(address(writes.last()), last);
    for (const auto& w : writes) {
        QCOMPARE(w.size(), 21);
        QCOMPARE(uint8_t(w.back()), RadioProtocol::checksum(w, 1, 20));
    }
    QCOMPARE(rig.link.frames.last(), QByteArray("E"));
    QCOMPARE(msgs.texts().last(), QStringLiteral("Write Data Completed."));
    QCOMPARE(rig.radio.memory.mid(product->message1Base, 5), QByteArray("HELLO"));
    // The radio gets its own identification back in the model header.
    QCOMPARE(rig.radio.memory.mid(product->headerBase, 14), rig.radio.ident);
    if (product->writeStart == 0) QCOMPARE(rig.radio.memory.left(16), QByteArray(16, char(0xFF)));
}

void TestSession::programAnsweredOnSecondTry() {
    ScriptedMessages msgs;
    msgs.answers = {MsgAnswer::Ok};
    Rig rig(meridoxProduct());
    rig.radio.ignorePrograms = 1;
    QVERIFY(rig.session.readFromRadio());
    QVERIFY(rig.settle());
    QCOMPARE(rig.link.frames, QList<QByteArray>{QByteArray("PROGRAM")});
    rig.session.replyTimedOut();
    QVERIFY(rig.finish());
    QCOMPARE(rig.link.frames.at(1), QByteArray("PROGRAM"));
    QCOMPARE(msgs.texts(),
             (QStringList{messageText(Msg::ReadConfirm), QStringLiteral("Read Data Completed.")}));
}

void TestSession::silenceAsksRetryOrCancel_data() {
    QTest::addColumn<int>("op");
    QTest::addColumn<bool>("silentIdent");
    QTest::newRow("read, PROGRAM") << int(RadioOperation::Read) << false;
    QTest::newRow("write, identification") << int(RadioOperation::Write) << true;
}

void TestSession::silenceAsksRetryOrCancel() {
    QFETCH(int, op);
    QFETCH(bool, silentIdent);
    ScriptedMessages msgs;
    msgs.answers = {MsgAnswer::Ok, MsgAnswer::Retry, MsgAnswer::Cancel};
    Rig rig(meridoxProduct());
    if (silentIdent)
        rig.radio.ignoreIdents = 100;
    else
        rig.radio.ignorePrograms = 100;
    const RadioConfig before = rig.doc.config();
    QVERIFY(op == int(RadioOperation::Read) ? rig.session.readFromRadio()
                                            : rig.session.writeToRadio());
    QVERIFY(rig.settle());
    const QByteArray waited = silentIdent ? QByteArray(1, 2) : QByteArray("PROGRAM");
    rig.session.replyTimedOut(); // the automatic single re-send
    QCOMPARE(rig.link.frames.last(), waited);
    QCOMPARE(msgs.asked.size(), 1);
    rig.session.replyTimedOut(); // now the user is asked: Retry repeats the handshake
    QCOMPARE(msgs.asked.last().text, QStringLiteral("Check Connection. Retry or Cancel?"));
    QCOMPARE(msgs.asked.last().buttons, MsgButtons::RetryCancel);
    QVERIFY(rig.settle());
    QCOMPARE(rig.link.frames.count(QByteArray("PROGRAM")), silentIdent ? 2 : 3);
    rig.session.replyTimedOut();
    rig.session.replyTimedOut(); // Cancel
    QVERIFY(!rig.session.busy());
    QCOMPARE(rig.session.lastFailure(), SessionFailure::NoAnswer);
    QVERIFY(!rig.link.isOpen());
    QVERIFY(!msgs.texts().contains(QStringLiteral("Read Data Completed.")));
    QCOMPARE(encodeRecord(meridoxProduct(), rig.doc.config()),
             encodeRecord(meridoxProduct(), before));
}

void TestSession::wrongIdentLengthIgnored_data() {
    QTest::addColumn<int>("length");
    QTest::newRow("13 bytes") << 13;
    QTest::newRow("15 bytes") << 15;
}

void TestSession::wrongIdentLengthIgnored() {
    QFETCH(int, length);
    ScriptedMessages msgs;
    msgs.answers = {MsgAnswer::Ok};
    Rig rig(meridoxProduct());
    rig.radio.ident = (rig.radio.ident + QByteArray(4, '\0')).left(length);
    QVERIFY(rig.session.readFromRadio());
    QVERIFY(rig.settle());
    QCOMPARE(rig.session.step(), SessionStep::Ident);
    rig.session.replyTimedOut();
    QCOMPARE(rig.link.frames.count(QByteArray(1, 2)), 2);
    QCOMPARE(rig.session.step(), SessionStep::Ident);
    rig.session.cancel();
}

void TestSession::badDataFrameIgnored_data() {
    QTest::addColumn<int>("fault");
    QTest::newRow("address") << 0;
    QTest::newRow("length byte") << 1;
    QTest::newRow("checksum off by one") << 2;
    QTest::newRow("one byte short") << 3;
}

void TestSession::badDataFrameIgnored() {
    QFETCH(int, fault);
    ScriptedMessages msgs;
    msgs.answers = {MsgAnswer::Ok};
    Rig rig(meridoxProduct());
    rig.radio.mangleData = [fault](QByteArray r) {
        switch (fault) {
        case 0:
            r[2] = char(r.at(2) + 1);
            break;
        case 1:
            r[3] = char(r.at(3) - 1);
            break;
        case 2:
            r[r.size() - 1] = char(r.back() + 1);
            break;
        default:
            r.chop(2);
            r += char(RadioProtocol::checksum(r, 1, r.size()));
            break;
        }
        return r;
    };
    QVERIFY(rig.session.readFromRadio());
    QVERIFY(rig.settle());
    QCOMPARE(rig.session.step(), SessionStep::Block);
    QCOMPARE(rig.session.blockAddress(), 0);
    QCOMPARE(rig.session.radioImage().left(64), QByteArray(64, char(0xFF)));
    rig.session.cancel();
}

void TestSession::restartPromptStartsOver_data() {
    QTest::addColumn<int>("op");
    QTest::addColumn<int>("restartAddress");
    QTest::newRow("read") << int(RadioOperation::Read) << 0x0000;
    QTest::newRow("write") << int(RadioOperation::Write) << 0x0010;
}

void TestSession::restartPromptStartsOver() {
    QFETCH(int, op);
    QFETCH(int, restartAddress);
    ScriptedMessages msgs;
    msgs.answers = {MsgAnswer::Ok, MsgAnswer::Ok};
    Rig rig(meridoxProduct());
    rig.radio.silentAfterBlocks = 3;
    QSignalSpy progress(&rig.session, &RadioSession::progressChanged);
    QVERIFY(op == int(RadioOperation::Read) ? rig.session.readFromRadio()
                                            : rig.session.writeToRadio());
    QVERIFY(rig.settle());
    QCOMPARE(rig.session.step(), SessionStep::Block);
    rig.radio.silentAfterBlocks = -1;
    rig.link.frames.clear();
    rig.session.replyTimedOut();
    QCOMPARE(msgs.asked.last().buttons, MsgButtons::OkCancel);
    QCOMPARE(msgs.asked.last().icon, MsgIcon::Question);
    QCOMPARE(progress.last().at(0).toInt(), 0);
    QVERIFY(rig.finish());
    QCOMPARE(rig.link.frames.first(), QByteArray("PROGRAM"));
    const auto blocks = rig.framesStartingWith(op == int(RadioOperation::Read) ? 'R' : 'W');
    QCOMPARE(address(blocks.first()), restartAddress);
    QCOMPARE(rig.session.lastFailure(), SessionFailure::None);
}

void TestSession::identityRejected_data() {
    QTest::addColumn<QByteArray>("model");
    QTest::addColumn<int>("band");
    QTest::addColumn<QByteArray>("firmware");
    QTest::addColumn<QString>("message");
    QTest::newRow("model") << QByteArray("5480") << 4 << QByteArray("V100")
                           << "Model type is wrong.";
    QTest::newRow("firmware") << QByteArray("SOLV") << 4 << QByteArray("V200")
                              << "Version is wrong.\r\nFirmware version is V2.00\r\n"
                                 "Programming software version is V1.0X";
    QTest::newRow("band") << QByteArray("SOLV") << 3 << QByteArray("V100")
                          << "Frequency band type is wrong.";
    QTest::newRow("everything") << QByteArray("WX40") << 3 << QByteArray("V300")
                                << "Model type is wrong.";
    QTest::newRow("V105 passes") << QByteArray("SOLV") << 4 << QByteArray("V105") << QString();
}

void TestSession::identityRejected() {
    QFETCH(QByteArray, model);
    QFETCH(int, band);
    QFETCH(QByteArray, firmware);
    QFETCH(QString, message);
    ScriptedMessages msgs;
    msgs.answers = {MsgAnswer::Ok};
    Rig rig(meridoxProduct());
    rig.radio = FakeRadio(meridoxProduct(), model.constData(), band, 248, firmware.constData());
    const RadioConfig before = rig.doc.config();
    QVERIFY(rig.session.readFromRadio());
    QVERIFY(rig.finish());
    if (message.isEmpty()) {
        QCOMPARE(rig.session.lastFailure(), SessionFailure::None);
        return;
    }
    QCOMPARE(msgs.texts(), (QStringList{messageText(Msg::ReadConfirm), message}));
    QCOMPARE(rig.link.frames.last(), QByteArray("E"));
    QVERIFY(rig.framesStartingWith('R').isEmpty());
    QCOMPARE(rig.session.lastFailure(), SessionFailure::Identity);
    QCOMPARE(encodeRecord(meridoxProduct(), rig.doc.config()),
             encodeRecord(meridoxProduct(), before));

    // Silence after the end command of a rejected radio also ends the session as failed.
    Rig silent(meridoxProduct());
    silent.radio = rig.radio;
    msgs.answers = {MsgAnswer::Ok};
    silent.link.responder = [&silent](const QByteArray& f) {
        return f == "E" ? QByteArray() : silent.radio.respond(f);
    };
    QVERIFY(silent.session.readFromRadio());
    QVERIFY(silent.settle());
    QCOMPARE(silent.session.step(), SessionStep::RejectedAck);
    silent.session.replyTimedOut();
    QVERIFY(!silent.session.busy());
    QVERIFY(!silent.link.isOpen());
}

void TestSession::olderRadioIdentity() {
    ScriptedMessages msgs;
    // A read of the older radio checks nothing.
    msgs.answers = {MsgAnswer::Ok};
    Rig read(solvirProduct());
    read.radio = FakeRadio(solvirProduct(), "XXXX", 3, 17, "V900");
    QVERIFY(read.session.readFromRadio());
    QVERIFY(read.finish());
    QVERIFY(!read.framesStartingWith('R').isEmpty());
    // A write compares model (from class and band) and band, and asks before overwriting.
    msgs.asked.clear();
    msgs.answers = {MsgAnswer::Ok, MsgAnswer::Cancel};
    Rig write(solvirProduct());
    QVERIFY(write.session.writeToRadio());
    QVERIFY(write.finish());
    QCOMPARE(msgs.asked.last().text, QStringLiteral("Model type is wrong. Overwrite?"));
    QCOMPARE(msgs.asked.last().icon, MsgIcon::Warning);
    QVERIFY(write.framesStartingWith('W').isEmpty());
    QCOMPARE(write.link.frames.last(), QByteArray("E"));
    QCOMPARE(write.session.lastFailure(), SessionFailure::Identity);
    // A matching radio: class 248 with band 3 is "WX40".
    msgs.answers = {MsgAnswer::Ok};
    Rig match(solvirProduct());
    useModelAndBand(match.doc, QStringLiteral("WX40"), QStringLiteral("26.51500 - 27.85500 MHz"));
    match.radio = FakeRadio(solvirProduct(), "ABCD", 3, 248);
    const int before = msgs.asked.size();
    QVERIFY(match.session.writeToRadio());
    QVERIFY(match.finish());
    QCOMPARE(msgs.asked.size(), before + 2); // the question and "Write Data Completed."
}

void TestSession::informationRead() {
    ScriptedMessages msgs;
    Rig rig(meridoxProduct());
    QByteArray area(256, char(0xFF));
    area.replace(0x08, 4, "0595");
    area.replace(0x10, 10, "2010120700");
    rig.radio.memory.replace(0x1F00, 256, area);
    rig.radio.ignorePrograms = 1; // a missing PROGRAM acknowledge is no error here
    QSignalSpy shown(&rig.session, &RadioSession::informationRead);
    LocalInformation earlier;
    earlier[5] = QStringLiteral("V1.00");
    rig.session.setLocalInformation(earlier);
    QVERIFY(rig.session.readInformation(true));
    QVERIFY(rig.settle());
    rig.session.replyTimedOut();
    QVERIFY(rig.finish());
    QVERIFY(msgs.asked.isEmpty()); // no question, no completion message
    QCOMPARE(shown.size(), 1);
    const auto reads = rig.framesStartingWith('R');
    QCOMPARE(reads.size(), 16);
    QCOMPARE(address(reads.first()), 0x1F00);
    QCOMPARE(address(reads.last()), 0x1FF0);
    QCOMPARE(rig.session.localInformation()[0], QStringLiteral("0595"));
    QCOMPARE(rig.session.localInformation()[1], QStringLiteral("2010120700"));
    QCOMPARE(rig.session.localInformation()[5], QStringLiteral("V1.00"));

    // Silence after the end command: the information is complete, so it counts as read.
    Rig late(meridoxProduct());
    late.link.responder = [&late](const QByteArray& f) {
        return f == "E" ? QByteArray() : late.radio.respond(f);
    };
    QSignalSpy done(&late.session, &RadioSession::finished);
    QVERIFY(late.session.readInformation(false));
    QVERIFY(late.settle());
    QCOMPARE(late.session.step(), SessionStep::EndAck);
    late.session.replyTimedOut();
    QCOMPARE(done.last().at(1).toBool(), true);
}

void TestSession::informationWriteFrames() {
    Rig rig(meridoxProduct());
    ModelInfo mi = rig.doc.config().modelInfo;
    mi.modelNameCopy.assign(QByteArray("715\0", 4));
    mi.bandCodeCopy = 0x21;
    mi.typeLetter = 67;
    mi.createDate.assign(QByteArray("20101207"));
    mi.softwareVersionText.assign(QByteArray("V1.00"));
    rig.doc.setModelInformation(mi, QString());
    QVERIFY(rig.session.writeInformation());
    QVERIFY(rig.finish());
    const auto& f = rig.link.frames;
    QCOMPARE(f.size(), 6);
    const QByteArray info = f.at(3);
    QCOMPARE(info.size(), 34);
    QCOMPARE(info.left(8), QByteArray("NTKK715\xFF"));
    QCOMPARE(uint8_t(info.at(8)), 67);
    QCOMPARE(uint8_t(info.at(13)), 0x21);
    QCOMPARE(info.mid(17, 8), QByteArray("20101207"));
    QCOMPARE(info.mid(25, 8), QByteArray(8, char(0xFF)));
    QCOMPARE(uint8_t(info.at(33)), RadioProtocol::checksum(info, 1, 33));
    QCOMPARE(f.at(4), QByteArray("V1.00\xFF\xFF\xFF\xFF\xFF"));
    QCOMPARE(f.at(5), QByteArray("E"));
}

void TestSession::retryAsksForTheLostInformationBlockAgain() {
    ScriptedMessages msgs;
    msgs.answers = {MsgAnswer::Retry};
    Rig rig(meridoxProduct());
    rig.radio.memory.replace(0x1F40, 4, "DLR1"); // Text1(3), the block that gets lost once
    bool lost = false;
    rig.link.responder = [&](const QByteArray& f) {
        if (f.startsWith('R') && address(f) == 0x1F40 && !lost) {
            lost = true;
            return QByteArray();
        }
        return rig.radio.respond(f);
    };
    QVERIFY(rig.session.readInformation(true));
    QVERIFY(rig.finish());
    QCOMPARE(msgs.texts(), lines({"Check Connection. Retry or Cancel?"}));
    QList<int> asked;
    for (const auto& f : rig.framesStartingWith('R'))
        asked << address(f);
    QCOMPARE(asked.count(0x1F40), 2);
    QCOMPARE(asked.count(0x1F50), 1);
    QCOMPARE(asked.last(), 0x1FF0);
    QCOMPARE(rig.session.localInformation()[3], QStringLiteral("DLR1"));
}

void TestSession::radioRecordsOnlyFromSucceededInformationOperations_data() {
    QTest::addColumn<int>("op");
    QTest::addColumn<bool>("succeeds");
    QTest::addColumn<bool>("stored");
    QTest::newRow("read, failed") << int(RadioOperation::Read) << false << false;
    QTest::newRow("write, succeeded") << int(RadioOperation::Write) << true << false;
    QTest::newRow("information read, failed")
        << int(RadioOperation::InformationRead) << false << false;
    QTest::newRow("information read, succeeded")
        << int(RadioOperation::InformationRead) << true << true;
    QTest::newRow("information write, succeeded")
        << int(RadioOperation::InformationWrite) << true << true;
}

// A radio that sends its information record ("NTK-", model code 5915, type C, band 0x21,
// serial 20101207) and its version "V2.05" in the middle of an operation.
void TestSession::radioRecordsOnlyFromSucceededInformationOperations() {
    QFETCH(int, op);
    QFETCH(bool, succeeds);
    QFETCH(bool, stored);
    ScriptedMessages msgs;
    msgs.answers = {MsgAnswer::Ok, MsgAnswer::Cancel};
    Rig rig(meridoxProduct());
    QByteArray info = QByteArray("NTK-5915C") + QByteArray(4, char(0xFF)) + char(0x21) +
                      QByteArray(3, char(0xFF)) + "20101207" + QByteArray(8, char(0xFF));
    info += char(RadioProtocol::checksum(info, 1, 33));
    const QByteArray version("V2.05\xFF\xFF\xFF\xFF\xFF", 10);
    int frames = 0;
    rig.link.responder = [&](const QByteArray& f) {
        ++frames;
        if (frames == 4) rig.link.reply(info);
        if (frames == 5) rig.link.reply(version);
        // A failing session: the radio falls silent after the records.
        if (!succeeds && frames >= 5) return QByteArray();
        return rig.radio.respond(f);
    };
    const ModelInfo before = rig.doc.config().modelInfo;
    const auto operation = RadioOperation(op);
    const bool started = operation == RadioOperation::Read    ? rig.session.readFromRadio()
                         : operation == RadioOperation::Write ? rig.session.writeToRadio()
                         : operation == RadioOperation::InformationRead
                             ? rig.session.readInformation(true)
                             : rig.session.writeInformation();
    QVERIFY(started);
    QSignalSpy done(&rig.session, &RadioSession::finished);
    QVERIFY(rig.finish());
    QCOMPARE(done.last().at(1).toBool(), succeeds);
    const ModelInfo& mi = rig.doc.config().modelInfo;
    if (!stored) {
        QCOMPARE(mi.softwareVersionText.raw(), before.softwareVersionText.raw());
        QCOMPARE(mi.createDate.raw(), before.createDate.raw());
        QCOMPARE(mi.bandCodeCopy, before.bandCodeCopy);
        return;
    }
    QCOMPARE(mi.modelNameCopy.raw(), QByteArray("715   "));
    QCOMPARE(int(mi.typeLetter), 67);
    QCOMPARE(int(mi.bandCodeCopy), 0x21);
    QCOMPARE(mi.createDate.untilNul(), QByteArray("20101207"));
    QCOMPARE(mi.softwareVersionText.untilNul(), QByteArray("V2.05"));
}

void TestSession::onlyOneOperationAtATime() {
    ScriptedMessages msgs;
    msgs.answers = {MsgAnswer::Ok};
    Rig rig(meridoxProduct());
    rig.radio.ignorePrograms = 100;
    QVERIFY(rig.session.readFromRadio());
    QVERIFY(!rig.session.writeToRadio());
    QVERIFY(!rig.session.readInformation(true));
    QCOMPARE(rig.session.operation(), RadioOperation::Read);
    QCOMPARE(rig.link.opens, 1);
    rig.session.cancel();
}

void TestSession::portOpenFailure() {
    ScriptedMessages msgs;
    Rig rig(meridoxProduct());
    rig.link.failOpen = true;
    QVERIFY(!rig.session.readFromRadio());
    QCOMPARE(rig.session.operation(), RadioOperation::Idle);
    QCOMPARE(msgs.asked.size(), 1);
    QCOMPARE(msgs.asked.first().text, QStringLiteral("Cannot Open Communication Port."));
    QCOMPARE(msgs.asked.first().icon, MsgIcon::Critical);
    QVERIFY(msgs.asked.first().informative.contains(QStringLiteral("/dev/fake")));
    // The connection doctor's verdict follows the reason.
    QVERIFY(msgs.asked.first().informative.contains(
        QStringLiteral("\nConnection check: /dev/fake cannot be used: /dev/fake does not exist.")));
    QCOMPARE(rig.session.lastFailure(), SessionFailure::PortOpen);
}

void TestSession::deviceLostMidSession() {
    ScriptedMessages msgs;
    msgs.answers = {MsgAnswer::Ok};
    Rig rig(meridoxProduct());
    rig.radio.silentAfterBlocks = 5;
    const RadioConfig before = rig.doc.config();
    QVERIFY(rig.session.readFromRadio());
    QVERIFY(rig.settle());
    rig.link.lose();
    QVERIFY(!rig.session.busy());
    QCOMPARE(rig.session.lastFailure(), SessionFailure::DeviceLost);
    QCOMPARE(msgs.asked.last().text, QStringLiteral("The connection to the radio was lost."));
    QCOMPARE(msgs.asked.last().informative,
             QStringLiteral("The port stopped working: the cable was unplugged or the adapter "
                            "removed. Check the programming cable, then start again."));
    QCOMPARE(encodeRecord(meridoxProduct(), rig.doc.config()),
             encodeRecord(meridoxProduct(), before));
}

void TestSession::cancelLeavesProgrammingMode() {
    ScriptedMessages msgs;
    msgs.answers = {MsgAnswer::Ok};
    Rig rig(meridoxProduct());
    rig.radio.silentAfterBlocks = 2;
    QSignalSpy done(&rig.session, &RadioSession::finished);
    QVERIFY(rig.session.readFromRadio());
    QVERIFY(rig.settle());
    rig.session.cancel();
    QCOMPARE(rig.link.frames.last(), QByteArray("E"));
    QCOMPARE(done.last().at(1).toBool(), false);
    QCOMPARE(rig.session.lastFailure(), SessionFailure::Cancelled);
    QVERIFY(!rig.link.isOpen());
    QCOMPARE(msgs.asked.size(), 1); // no completion message
}

void TestSession::unusableReadChangesNothing() {
    ScriptedMessages msgs;
    msgs.answers = {MsgAnswer::Ok};
    Rig rig(meridoxProduct());
    Document source(meridoxProduct());
    source.initialiseDefaults();
    clearRadioImage(meridoxProduct(), rig.radio.memory);
    QVERIFY(!buildRadioImage(source, rig.radio.memory));
    rig.radio.memory[0x1D61] = char(0x80); // option word 1 overflows
    rig.doc.becameUntitled(QStringLiteral("mine.dat"));
    editRecord(rig.doc, [&](RadioConfig& c) { c.optionWords[0] = 7; });
    const RadioConfig before = rig.doc.config();
    QSignalSpy applying(&rig.session, &RadioSession::readApplying);
    QVERIFY(rig.session.readFromRadio());
    QVERIFY(rig.finish());
    QCOMPARE(rig.session.lastFailure(), SessionFailure::BadData);
    QCOMPARE(applying.size(), 0);
    QCOMPARE(msgs.asked.last().text,
             QStringLiteral("The data read from the radio cannot be used."));
    QVERIFY(!msgs.texts().contains(QStringLiteral("Read Data Completed.")));
    QCOMPARE(rig.doc.fileName(), QStringLiteral("mine.dat"));
    QCOMPARE(encodeRecord(meridoxProduct(), rig.doc.config()),
             encodeRecord(meridoxProduct(), before));
}

void TestSession::cancelAtQuestion() {
    ScriptedMessages msgs;
    msgs.answers = {MsgAnswer::Ok, MsgAnswer::Ok, MsgAnswer::Cancel};
    Rig rig(meridoxProduct());
    QVERIFY(rig.session.readFromRadio()); // the image holds a radio's memory
    QVERIFY(rig.finish());
    const QByteArray image = rig.session.radioImage();
    rig.link.frames.clear();
    QVERIFY(!rig.session.writeToRadio());
    QCOMPARE(rig.session.operation(), RadioOperation::Idle);
    QVERIFY(!rig.link.isOpen());
    QVERIFY(rig.link.frames.isEmpty());
    QCOMPARE(rig.session.radioImage(), image); // cleared only after OK
}

// Every way a session can end leaves a trace that says how, with what went over the line.
void TestSession::traceOfEveryEnding_data() {
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QStringList>("expected"); // lines of the trace body, in order, as prefixes
    QTest::addColumn<QString>("end");
    QTest::newRow("read") << "read"
                          << lines({"TX 50 52 4F 47 52 41 4D", "RX 06", "TX 02",
                                    "RX 50 53 4F 4C 56", "TX 52 00 00 40"})
                          << "end: success";
    QTest::newRow("silent radio")
        << "silent"
        << lines({"TX 50 52", "-- no reply within 300 ms (step 1)", "TX 50 52",
                  "-- no reply within 300 ms (step 1)",
                  "-- asked \"Check Connection. Retry or Cancel?\": Cancel"})
        << "end: failed (no answer)";
    QTest::newRow("port cannot be opened")
        << "failopen" << lines({"-- the port cannot be opened: /dev/fake is not connected."})
        << "end: failed (the port cannot be opened)";
    QTest::newRow("cancel at the question")
        << "cancel" << lines({"-- asked \"Read data from radio. / Do you wish continue?\": Cancel"})
        << "end: failed (cancelled)";
    QTest::newRow("identity rejected") << "identity"
                                       << lines({"TX 02", "RX 50 35 34 38 30", "TX 06", "RX 06",
                                                 "-- asked \"Model type is wrong.\": OK", "TX 45"})
                                       << "end: failed (the radio's identity was rejected)";
    QTest::newRow("information read")
        << "info" << lines({"TX 50 52", "TX 52 1F 00 10", "RX 57 1F 00 10"}) << "end: success";
}

void TestSession::traceOfEveryEnding() {
    QFETCH(QString, setup);
    QFETCH(QStringList, expected);
    QFETCH(QString, end);
    QTemporaryDir dir;
    ScriptedMessages msgs;
    msgs.answers = {setup == QLatin1String("cancel") ? MsgAnswer::Cancel : MsgAnswer::Ok};
    Rig rig(meridoxProduct());
    SessionTrace trace(meridoxProduct(), KeptFolder(dir.path(), QStringLiteral("meridox"),
                                                    QStringLiteral(".txt"), 10));
    rig.session.setTrace(&trace);
    rig.session.setReplyTimeout(300); // as the trace names it; finish() plays the silence
    if (setup == QLatin1String("silent")) rig.radio.ignorePrograms = 100;
    if (setup == QLatin1String("failopen")) rig.link.failOpen = true;
    if (setup == QLatin1String("identity")) rig.radio.ident.replace(1, 4, "5480");
    if (setup == QLatin1String("info"))
        rig.session.readInformation(true);
    else
        rig.session.readFromRadio();
    QVERIFY(rig.finish());
    QVERIFY(!trace.active());
    QFile f(trace.keptPath());
    QVERIFY2(f.open(QIODevice::ReadOnly), qPrintable(trace.lastError()));
    const QStringList lines =
        QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.at(2), QStringLiteral("Port: /dev/fake"));
    QCOMPARE(lines.at(3), setup == QLatin1String("info")
                              ? QStringLiteral("Operation: information read")
                              : QStringLiteral("Operation: read"));
    QStringList body;
    for (const QString& l : lines.mid(5))
        body << l.section(QLatin1String(" ms  "), 1)
                    .replace(QLatin1String("  "), QLatin1String(" "));
    qsizetype from = 0;
    for (const QString& e : expected) {
        while (from < body.size() && !body.at(from).startsWith(e))
            ++from;
        QVERIFY2(from < body.size(), qPrintable(e + QStringLiteral(" not found in order in\n") +
                                                body.join(QLatin1Char('\n'))));
        ++from;
    }
    QCOMPARE(body.last(), QStringLiteral("-- ") + end);
}

// The image's own bytes go out, unused areas included, not a rebuild from the configuration;
// only the identification block is the radio's own.
void TestSession::rawImageWriteSendsItsBytes_data() {
    QTest::addColumn<const Product*>("product");
    QTest::newRow("meridox") << &meridoxProduct();
    QTest::newRow("solvir") << &solvirProduct();
}

void TestSession::rawImageWriteSendsItsBytes() {
    QFETCH(const Product*, product);
    ScriptedMessages msgs;
    msgs.answers = {MsgAnswer::Ok, MsgAnswer::Ok};
    Rig rig(*product);
    QByteArray image(product->memorySize, char(0xFF));
    for (int i = 0; i < image.size(); ++i)
        image[i] = char((i * 13 + 5) & 0xFF);
    const QByteArray before = rig.radio.memory;
    QVERIFY(rig.session.writeImageToRadio(image));
    QVERIFY(rig.finish());
    QCOMPARE(rig.session.lastFailure(), SessionFailure::None);
    const int from = product->writeStart + 16, to = product->writeEnd;
    for (int a = 0; a < product->memorySize; ++a) {
        const bool header = a >= product->headerBase && a < product->headerBase + 14;
        const char want = a < from || a >= to ? before.at(a)
                          : header            ? rig.radio.ident.at(a - product->headerBase)
                                              : image.at(a);
        if (rig.radio.memory.at(a) != want)
            QFAIL(qPrintable(QStringLiteral("address %1 differs").arg(a, 4, 16, QLatin1Char('0'))));
    }
}

void TestSession::rawImageOfWrongSizeRefused() {
    ScriptedMessages msgs;
    msgs.answers = {MsgAnswer::Ok};
    Rig rig(meridoxProduct());
    QVERIFY(!rig.session.writeImageToRadio(QByteArray(4096, '\0')));
    QCOMPARE(rig.session.lastFailure(), SessionFailure::Refused);
    QVERIFY(rig.link.frames.isEmpty());
    QVERIFY(!rig.link.isOpen());
    QCOMPARE(msgs.asked.last().text,
             QStringLiteral("This configuration cannot be written to the radio."));
}

// The read-back after a write: the blocks of a read, compared with what was sent except the
// identification copy the radio owns; a byte the radio gives back changed is one difference.
void TestSession::verifyComparesWhatWasWritten_data() {
    QTest::addColumn<const Product*>("product");
    QTest::addColumn<int>("changed");   // address the radio gives back changed; -1 none
    QTest::addColumn<bool>("mismatch"); // a difference is reported at that address
    QTest::addColumn<QString>("line");  // the line naming it, when checked
    const Product* m = &meridoxProduct();
    const Product* s = &solvirProduct();
    QTest::newRow("meridox equal") << m << -1 << false << "";
    QTest::newRow("meridox first written byte") << m << 0x0010 << true << "";
    QTest::newRow("meridox identification copy") << m << 0x1D9D << false << "";
    QTest::newRow("meridox byte after the copy")
        << m << 0x1D9E << true << "Radio memory 0x1D9E: written 0xFF, the radio holds 0xFE";
    QTest::newRow("meridox header it never writes") << m << 0x0005 << false << "";
    QTest::newRow("meridox last written byte") << m << 0x1DDF << true << "";
    QTest::newRow("meridox read past the write") << m << 0x1DE0 << false << "";
    QTest::newRow("solvir first byte") << s << 0x0000 << true << "";
    QTest::newRow("solvir identification copy") << s << 0x0EA0 << false << "";
    QTest::newRow("solvir byte after the copy") << s << 0x0EAE << true << "";
}

void TestSession::verifyComparesWhatWasWritten() {
    QFETCH(const Product*, product);
    QFETCH(int, changed);
    QFETCH(bool, mismatch);
    QFETCH(QString, line);
    ScriptedMessages msgs;
    msgs.answers = {MsgAnswer::Ok, MsgAnswer::Ok}; // the question, and solvir's overwrite
    Rig rig(*product);
    rig.session.setVerifyAfterWrite(true);
    rig.radio.mangleData = [changed](QByteArray r) {
        const int at = changed - address(r);
        if (at >= 0 && at < uint8_t(r.at(3))) {
            r[4 + at] = char(r.at(4 + at) ^ 0x01);
            r[r.size() - 1] = char(RadioProtocol::checksum(r, 1, int(r.size()) - 1));
        }
        return r;
    };
    QSignalSpy opened(&rig.session, &RadioSession::progressOpened);
    QSignalSpy done(&rig.session, &RadioSession::finished);
    QVERIFY(rig.session.writeToRadio());
    QVERIFY(rig.finish());
    QCOMPARE(opened.size(), 2);
    QCOMPARE(opened.at(1).at(0).value<RadioOperation>(), RadioOperation::Verify);
    QCOMPARE(done.size(), 1);
    QCOMPARE(done.at(0).at(0).value<RadioOperation>(), RadioOperation::Write);
    QCOMPARE(done.at(0).at(1).toBool(), !mismatch);
    const auto reads = rig.framesStartingWith('R');
    QCOMPARE(reads.size(), product == &meridoxProduct() ? 120 : 60);
    QCOMPARE(address(reads.first()), 0);
    QCOMPARE(rig.link.frames.last(), QByteArray("E"));
    QVERIFY(!msgs.texts().contains(QStringLiteral("Write Data Completed.")));
    const MessageRequest& last = msgs.asked.last();
    if (!mismatch) {
        QCOMPARE(rig.session.lastFailure(), SessionFailure::None);
        QCOMPARE(last.text, QStringLiteral("Write verified: the radio holds what was written."));
        QCOMPARE(last.icon, MsgIcon::Information);
        return;
    }
    QCOMPARE(rig.session.lastFailure(), SessionFailure::VerifyMismatch);
    QCOMPARE(rig.session.verifyMismatches(), QList<int>{changed});
    QCOMPARE(last.text,
             QStringLiteral("The data was written, but the radio holds something else:"));
    QCOMPARE(last.icon, MsgIcon::Warning);
    if (!line.isEmpty()) QCOMPARE(last.informative, line);
}

void TestSession::verifyReadThatFailsFailsTheWrite() {
    ScriptedMessages msgs;
    msgs.answers = {MsgAnswer::Ok}; // the question; the restart prompt is cancelled
    Rig rig(meridoxProduct());
    rig.session.setVerifyAfterWrite(true);
    rig.radio.silentAfterBlocks = 477 + 3; // the write, then three blocks of the read-back
    QSignalSpy done(&rig.session, &RadioSession::finished);
    QVERIFY(rig.session.writeToRadio());
    QVERIFY(rig.finish());
    QCOMPARE(done.size(), 1);
    QCOMPARE(done.at(0).at(1).toBool(), false);
    QCOMPARE(rig.session.lastFailure(), SessionFailure::NoAnswer);
    QCOMPARE(msgs.texts().last(),
             QStringLiteral("The data was written, but reading it back to verify it failed."));
    QVERIFY(!rig.link.isOpen());
}

// A radio that gives back something else everywhere: the box lists the first differences and
// how many more, few enough to stay within a 1024 x 768 screen.
void TestSession::verifyListShortEnoughForTheScreen() {
    ScriptedMessages msgs;
    msgs.answers = {MsgAnswer::Ok};
    Rig rig(meridoxProduct());
    rig.session.setVerifyAfterWrite(true);
    rig.radio.mangleData = [](QByteArray r) {
        for (int i = 4; i < r.size() - 1; i += 2) // every other byte: no runs to merge
            r[i] = char(~r.at(i));
        r[r.size() - 1] = char(RadioProtocol::checksum(r, 1, int(r.size()) - 1));
        return r;
    };
    QVERIFY(rig.session.writeToRadio());
    QVERIFY(rig.finish());
    QCOMPARE(rig.session.lastFailure(), SessionFailure::VerifyMismatch);
    const QStringList lines = msgs.asked.last().informative.split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 26);
    QVERIFY2(lines.last().startsWith(QLatin1String("... and ")), qPrintable(lines.last()));
}

QTEST_GUILESS_MAIN(TestSession)
#include "tst_session.moc"
