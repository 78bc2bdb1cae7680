// The virtual radio seen through a serial port, as the programming software sees it.

#include "radiolauncher.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSerialPort>
#include <QTest>
#include <QThread>

namespace {

// Long enough to be sure a radio on a pty stays silent (its replies come within milliseconds).
constexpr int SilenceMs = 200;

QByteArray hex(const char* text) {
    return QByteArray::fromHex(text);
}

// Appends the sum mod 256 of every byte after the command byte.
QByteArray withChecksum(QByteArray frame) {
    quint8 sum = 0;
    for (qsizetype i = 1; i < frame.size(); ++i)
        sum += quint8(frame[i]);
    return frame + char(sum);
}

QByteArray readFrame(int address, int length) {
    return QByteArray("R") + char(address >> 8) + char(address) + char(length);
}

QByteArray dataFrame(int address, const QByteArray& data) {
    return withChecksum(QByteArray("W") + char(address >> 8) + char(address) + char(data.size()) +
                        data);
}

// Memory whose every block differs from its neighbours.
QByteArray pattern(int size) {
    QByteArray image(size, 0);
    for (int i = 0; i < size; ++i)
        image[i] = char((i * 7 + i / 256) & 0xFF);
    return image;
}

int memorySize(const QString& product) {
    return product == QLatin1String("solvir") ? 0x1000 : 0x2000;
}

bool writeFile(const QString& path, const QByteArray& data) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

// Starts the radio with the pattern as its memory.
bool startWithPattern(VirtualRadio& radio, const QString& product, QStringList args = {}) {
    const QString image = radio.filePath(QStringLiteral("pattern.bin"));
    if (!writeFile(image, pattern(memorySize(product)))) return false;
    args << QStringLiteral("--memory") << image;
    return radio.start(product, args);
}

// The program's end of the cable.
class Cable {
  public:
    bool open(const QString& path) {
        m_port.setPortName(path);
        m_port.setBaudRate(QSerialPort::Baud9600);
        m_port.setDataBits(QSerialPort::Data8);
        m_port.setParity(QSerialPort::NoParity);
        m_port.setStopBits(QSerialPort::OneStop);
        m_port.setFlowControl(QSerialPort::NoFlowControl);
        if (!m_port.open(QIODevice::ReadWrite)) return false;
        m_port.clear();
        return true;
    }

    // Sends a frame and collects the reply until `expected` bytes came or `ms` passed.
    QByteArray exchange(const QByteArray& frame, int expected, int ms = 1000) {
        if (!frame.isEmpty()) {
            m_port.write(frame);
            m_port.waitForBytesWritten(ms);
        }
        QByteArray reply;
        QElapsedTimer clock;
        clock.start();
        while (reply.size() < expected && clock.elapsed() < ms) {
            m_port.waitForReadyRead(int(qMax<qint64>(1, ms - clock.elapsed())));
            reply += m_port.readAll();
        }
        return reply;
    }

    // Sends a frame and expects exactly `reply` (empty: silence).
    QByteArray answerTo(const QByteArray& frame, qsizetype expectedSize) {
        return exchange(frame, int(qMax<qsizetype>(1, expectedSize)),
                        expectedSize == 0 ? SilenceMs : 1000);
    }

  private:
    QSerialPort m_port;
};

} // namespace

class Test_virtualradio : public QObject {
    Q_OBJECT

  private slots:
    void identification_data();
    void identification();
    void readRequest_data();
    void readRequest();
    void writeBlock_data();
    void writeBlock();
    void frames_data();
    void frames();
    void partialFrame_data();
    void partialFrame();
    void faults_data();
    void faults();
    void hangUp();
    void timing_data();
    void timing();
    void defaultImage_data();
    void defaultImage();
    void usageErrors_data();
    void usageErrors();
};

void Test_virtualradio::identification_data() {
    QTest::addColumn<QString>("product");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("ident");

    QTest::newRow("defaults") << QStringLiteral("meridox") << QStringList()
                              << hex("50534F4C5604F800563130300000");
    QTest::newRow("from options")
        << QStringLiteral("solvir")
        << QStringList{QStringLiteral("--model"),    QStringLiteral("ABCD"),
                       QStringLiteral("--band"),     QStringLiteral("7"),
                       QStringLiteral("--class"),    QStringLiteral("9"),
                       QStringLiteral("--firmware"), QStringLiteral("V105")}
        << hex("5041424344070900563130350000");
}

void Test_virtualradio::identification() {
    QFETCH(QString, product);
    QFETCH(QStringList, args);
    QFETCH(QByteArray, ident);

    VirtualRadio radio;
    QVERIFY2(startWithPattern(radio, product, args), qPrintable(radio.errorOutput()));
    Cable cable;
    QVERIFY(cable.open(radio.linkPath()));
    QCOMPARE(cable.answerTo("PROGRAM", 1), hex("06"));
    QCOMPARE(cable.answerTo(hex("02"), 14), ident);
    QCOMPARE(cable.answerTo(hex("06"), 1), hex("06"));

    const QString identLine =
        QStringLiteral("< ") + QString::fromLatin1(ident.toHex(' ').toUpper());
    QCOMPARE(radio.log(), (QStringList{QStringLiteral("> 50 52 4F 47 52 41 4D"),
                                       QStringLiteral("< 06"), QStringLiteral("> 02"), identLine,
                                       QStringLiteral("> 06"), QStringLiteral("< 06")}));
}

void Test_virtualradio::readRequest_data() {
    QTest::addColumn<QString>("product");
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("answered");

    const QString meridox = QStringLiteral("meridox");
    const QString solvir = QStringLiteral("solvir");
    QTest::newRow("first channel block") << meridox << 0x0010 << 64 << true;
    QTest::newRow("last block of memory") << meridox << 0x1FC0 << 64 << true;
    QTest::newRow("block running past the end") << meridox << 0x1FF0 << 64 << false;
    QTest::newRow("solvir last information block") << solvir << 0x0FF0 << 16 << true;
    QTest::newRow("solvir one byte past the end") << solvir << 0x0FF1 << 16 << false;
}

void Test_virtualradio::readRequest() {
    QFETCH(QString, product);
    QFETCH(int, address);
    QFETCH(int, length);
    QFETCH(bool, answered);

    VirtualRadio radio;
    QVERIFY2(startWithPattern(radio, product), qPrintable(radio.errorOutput()));
    Cable cable;
    QVERIFY(cable.open(radio.linkPath()));
    QCOMPARE(cable.answerTo("PROGRAM", 1), hex("06"));

    const QByteArray expected =
        answered ? dataFrame(address, pattern(memorySize(product)).mid(address, length))
                 : QByteArray();
    QCOMPARE(cable.answerTo(readFrame(address, length), expected.size()), expected);
}

void Test_virtualradio::writeBlock_data() {
    QTest::addColumn<QString>("product");
    QTest::addColumn<int>("address");
    QTest::addColumn<bool>("corrupt");
    QTest::addColumn<bool>("stored");

    QTest::newRow("block stored") << QStringLiteral("meridox") << 0x0010 << false << true;
    QTest::newRow("wrong checksum") << QStringLiteral("meridox") << 0x0010 << true << false;
    QTest::newRow("block past the end") << QStringLiteral("meridox") << 0x1FF8 << false << false;
    QTest::newRow("solvir header block") << QStringLiteral("solvir") << 0x0000 << false << true;
}

void Test_virtualradio::writeBlock() {
    QFETCH(QString, product);
    QFETCH(int, address);
    QFETCH(bool, corrupt);
    QFETCH(bool, stored);

    VirtualRadio radio;
    QVERIFY2(startWithPattern(radio, product), qPrintable(radio.errorOutput()));
    Cable cable;
    QVERIFY(cable.open(radio.linkPath()));

    const QByteArray data = hex("A5A4A3A2A1A09F9E9D9C9B9A99989796");
    QByteArray frame = dataFrame(address, data);
    if (corrupt) frame.back() = char(frame.back() + 1);
    QCOMPARE(cable.answerTo(frame, stored ? 1 : 0), stored ? hex("06") : QByteArray());
    // The dump is complete by the time the end command is acknowledged.
    QCOMPARE(cable.answerTo("E", 1), hex("06"));

    QByteArray expected = pattern(memorySize(product));
    if (stored) expected.replace(address, data.size(), data);
    QCOMPARE(radio.dump(), expected);
}

void Test_virtualradio::frames_data() {
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<QByteArray>("reply");

    const QByteArray record =
        "NTKK" + hex("35393130 43 FFFFFFFF 04 FFFFFF") + "20101207" + QByteArray(8, char(0xFF));
    QTest::newRow("information record") << withChecksum(record) << hex("06");
    QByteArray corrupt = withChecksum(record);
    corrupt.back() = char(corrupt.back() ^ 0x01);
    QTest::newRow("information record, wrong checksum") << corrupt << QByteArray();
    QTest::newRow("version") << hex("56312E3030FFFFFFFFFF") << hex("06");
    QTest::newRow("noise before PROGRAM") << QByteArray("\x00\xAA\x99"
                                                        "PROGRAM",
                                                        10)
                                          << hex("06");
    QTest::newRow("misspelt PROGRAM is not one") << QByteArray("PROGRAX") << QByteArray();
}

void Test_virtualradio::frames() {
    QFETCH(QByteArray, frame);
    QFETCH(QByteArray, reply);

    VirtualRadio radio;
    QVERIFY2(startWithPattern(radio, QStringLiteral("meridox")), qPrintable(radio.errorOutput()));
    Cable cable;
    QVERIFY(cable.open(radio.linkPath()));
    QCOMPARE(cable.answerTo(frame, reply.size()), reply);
    // Whatever came before, the radio is in step for the next frame.
    QCOMPARE(cable.answerTo(hex("06"), 1), hex("06"));
}

void Test_virtualradio::partialFrame_data() {
    QTest::addColumn<int>("gapMs");
    QTest::addColumn<bool>("answered");

    QTest::newRow("completed within the frame time") << 80 << true;
    QTest::newRow("broken off") << 400 << false;
}

void Test_virtualradio::partialFrame() {
    QFETCH(int, gapMs);
    QFETCH(bool, answered);

    VirtualRadio radio;
    QVERIFY2(startWithPattern(radio, QStringLiteral("meridox")), qPrintable(radio.errorOutput()));
    Cable cable;
    QVERIFY(cable.open(radio.linkPath()));

    const QByteArray request = readFrame(0x0010, 16);
    QCOMPARE(cable.exchange(request.left(2), 1, 0), QByteArray());
    QThread::msleep(gapMs);
    const QByteArray expected =
        answered ? dataFrame(0x0010, pattern(0x2000).mid(0x0010, 16)) : QByteArray();
    QCOMPARE(cable.answerTo(request.mid(2), expected.size()), expected);
    QCOMPARE(cable.answerTo("PROGRAM", 1), hex("06"));
}

void Test_virtualradio::faults_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArrayList>("frames");
    QTest::addColumn<QByteArrayList>("replies"); // empty: no answer

    const QByteArray memory = pattern(0x2000);
    const auto block = [&memory](int address, int delta = 0) {
        QByteArray frame = dataFrame(address, memory.mid(address, 64));
        frame.back() = char(frame.back() + delta);
        return frame;
    };
    const QByteArray ack = hex("06");
    const QByteArray ident = hex("50534F4C5604F800563130300000");
    const QByteArray write = dataFrame(0x0010, QByteArray(16, 'x'));
    QByteArray badWrite = write;
    badWrite.back() = char(badWrite.back() + 1);

    QTest::newRow("first PROGRAM ignored")
        << QStringList{QStringLiteral("--ignore-program"), QStringLiteral("1")}
        << QByteArrayList{"PROGRAM", "PROGRAM", "PROGRAM"} << QByteArrayList{{}, ack, ack};
    QTest::newRow("two identification requests ignored")
        << QStringList{QStringLiteral("--ignore-ident"), QStringLiteral("2")}
        << QByteArrayList{hex("02"), hex("02"), hex("02")} << QByteArrayList{{}, {}, ident};
    QTest::newRow("second data frame corrupt")
        << QStringList{QStringLiteral("--bad-checksum"), QStringLiteral("2")}
        << QByteArrayList{readFrame(0x0000, 64), readFrame(0x0040, 64), readFrame(0x0080, 64)}
        << QByteArrayList{block(0x0000), block(0x0040, 1), block(0x0080)};
    QTest::newRow("silent after one block")
        << QStringList{QStringLiteral("--silent-after"), QStringLiteral("1")}
        << QByteArrayList{readFrame(0x0000, 64), ack, "PROGRAM"}
        << QByteArrayList{block(0x0000), {}, {}};
    QTest::newRow("refused writes are no blocks")
        << QStringList{QStringLiteral("--silent-after"), QStringLiteral("2")}
        << QByteArrayList{write, badWrite, readFrame(0x0040, 64), ack}
        << QByteArrayList{ack, {}, block(0x0040), {}};
}

void Test_virtualradio::faults() {
    QFETCH(QStringList, args);
    QFETCH(QByteArrayList, frames);
    QFETCH(QByteArrayList, replies);

    VirtualRadio radio;
    QVERIFY2(startWithPattern(radio, QStringLiteral("meridox"), args),
             qPrintable(radio.errorOutput()));
    Cable cable;
    QVERIFY(cable.open(radio.linkPath()));
    for (qsizetype i = 0; i < frames.size(); ++i)
        QCOMPARE(cable.answerTo(frames[i], replies[i].size()), replies[i]);
}

void Test_virtualradio::hangUp() {
    VirtualRadio radio;
    QVERIFY2(startWithPattern(radio, QStringLiteral("meridox"),
                              {QStringLiteral("--hangup-after"), QStringLiteral("1")}),
             qPrintable(radio.errorOutput()));
    Cable cable;
    QVERIFY(cable.open(radio.linkPath()));
    QCOMPARE(cable.answerTo("PROGRAM", 1), hex("06"));
    // The block that was answered still reaches the program before the line goes dead.
    const QByteArray expected = dataFrame(0x0010, pattern(0x2000).mid(0x0010, 64));
    QCOMPARE(cable.answerTo(readFrame(0x0010, 64), expected.size()), expected);

    QVERIFY(radio.waitForExit());
    QCOMPARE(radio.exitStatus(), QProcess::NormalExit);
    QCOMPARE(radio.exitCode(), 0);
    QVERIFY(!QFileInfo(radio.linkPath()).isSymLink());
    QCOMPARE(radio.dump(), pattern(0x2000));
}

void Test_virtualradio::timing_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<int>("replySize");
    QTest::addColumn<int>("minimumMs");

    // The request takes 4 byte times, the 69-byte reply 68 more after its first byte: 75 ms.
    QTest::newRow("paced like 9600 baud")
        << QStringList{QStringLiteral("--pace-us"), QStringLiteral("1042")} << readFrame(0x0000, 64)
        << 69 << 72;
    QTest::newRow("reply delay") << QStringList{QStringLiteral("--reply-delay"),
                                                QStringLiteral("150")}
                                 << QByteArray("PROGRAM") << 1 << 150;
}

void Test_virtualradio::timing() {
    QFETCH(QStringList, args);
    QFETCH(QByteArray, frame);
    QFETCH(int, replySize);
    QFETCH(int, minimumMs);

    VirtualRadio radio;
    QVERIFY2(startWithPattern(radio, QStringLiteral("meridox"), args),
             qPrintable(radio.errorOutput()));
    Cable cable;
    QVERIFY(cable.open(radio.linkPath()));
    QElapsedTimer clock;
    clock.start();
    const QByteArray reply = cable.exchange(frame, replySize, 2000);
    const qint64 elapsed = clock.elapsed();
    QCOMPARE(reply.size(), replySize);
    QVERIFY2(elapsed >= minimumMs, qPrintable(QString::number(elapsed)));
    QVERIFY2(elapsed < minimumMs + 500, qPrintable(QString::number(elapsed)));
}

void Test_virtualradio::defaultImage_data() {
    QTest::addColumn<QString>("product");
    QTest::addColumn<int>("infoBase");
    QTest::addColumn<bool>("infoFile");

    QTest::newRow("meridox") << QStringLiteral("meridox") << 0x1F00 << false;
    QTest::newRow("solvir") << QStringLiteral("solvir") << 0x0F00 << false;
    QTest::newRow("meridox with an information file")
        << QStringLiteral("meridox") << 0x1F00 << true;
}

void Test_virtualradio::defaultImage() {
    QFETCH(QString, product);
    QFETCH(int, infoBase);
    QFETCH(bool, infoFile);

    VirtualRadio radio;
    QStringList args;
    QByteArray info;
    if (infoFile) {
        info = pattern(256);
        const QString path = radio.filePath(QStringLiteral("info.bin"));
        QVERIFY(writeFile(path, info));
        args << QStringLiteral("--info") << path;
    }
    QVERIFY2(radio.start(product, args), qPrintable(radio.errorOutput()));
    QVERIFY(QFileInfo(radio.linkPath()).isSymLink());
    radio.stop(); // SIGTERM: a clean exit writes the dump and removes the link

    QCOMPARE(radio.exitStatus(), QProcess::NormalExit);
    QCOMPARE(radio.exitCode(), 0);
    QVERIFY(!QFileInfo(radio.linkPath()).isSymLink());
    const QByteArray image = radio.dump();
    QCOMPARE(image.size(), memorySize(product));
    QVERIFY(image.left(16) != QByteArray(16, char(0xFF)));
    const QByteArray area = image.mid(infoBase, 256);
    if (infoFile) {
        QCOMPARE(area, info);
    } else {
        // Area code at +0x08, serial number at +0x10: readable texts ending in 0xFF.
        QCOMPARE(area.mid(0x08, 4), QByteArray("0595"));
        const QByteArray serial = area.mid(0x10, 16);
        const qsizetype end = serial.indexOf(char(0xFF));
        QVERIFY(end > 0);
        for (const char c : serial.left(end))
            QVERIFY(c >= 0x20 && c < 0x7F);
    }
}

void Test_virtualradio::usageErrors_data() {
    QTest::addColumn<QString>("product");
    QTest::addColumn<QString>("option");
    QTest::addColumn<int>("fileSize"); // -1: the option takes no file
    QTest::addColumn<QString>("message");

    QTest::newRow("memory image of the other radio")
        << QStringLiteral("meridox") << QStringLiteral("--memory") << 4096
        << QStringLiteral("exactly 8192 bytes");
    QTest::newRow("information area too long")
        << QStringLiteral("solvir") << QStringLiteral("--info") << 257
        << QStringLiteral("exactly 256 bytes");
    QTest::newRow("unknown product")
        << QStringLiteral("radio") << QString() << -1 << QStringLiteral("--product");
    QTest::newRow("model of three characters")
        << QStringLiteral("meridox") << QStringLiteral("--model=ABC") << -1
        << QStringLiteral("4 ASCII characters");
    QTest::newRow("file at the link path")
        << QStringLiteral("meridox") << QStringLiteral("link") << 5 << QStringLiteral("refusing");
}

void Test_virtualradio::usageErrors() {
    QFETCH(QString, product);
    QFETCH(QString, option);
    QFETCH(int, fileSize);
    QFETCH(QString, message);

    VirtualRadio radio;
    QStringList args;
    if (option != QLatin1String("--memory")) {
        const QString image = radio.filePath(QStringLiteral("pattern.bin"));
        QVERIFY(writeFile(image, pattern(memorySize(product))));
        args << QStringLiteral("--memory") << image;
    }
    const QByteArray content(qMax(0, fileSize), 'z');
    if (option == QLatin1String("link")) {
        QVERIFY(writeFile(radio.linkPath(), content));
    } else if (fileSize >= 0) {
        const QString path = radio.filePath(QStringLiteral("input.bin"));
        QVERIFY(writeFile(path, content));
        args << option << path;
    } else if (!option.isEmpty()) {
        args << option;
    }

    QVERIFY(!radio.start(product, args));
    QCOMPARE(radio.exitCode(), 1);
    QVERIFY2(radio.errorOutput().contains(message), qPrintable(radio.errorOutput()));
    if (option == QLatin1String("link")) {
        // A file that is not a link is never replaced.
        QFile file(radio.linkPath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), content);
    } else {
        QVERIFY(!QFileInfo::exists(radio.linkPath()));
    }
}

QTEST_GUILESS_MAIN(Test_virtualradio)
#include "tst_virtualradio.moc"
