#include "datafile.h"

#include "filereading.h"
#include "messages.h"

#include "core/io/wholefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <array>
#include <cstring>
#include <type_traits>

namespace {

// The entries of the DTMF autodial memories, the test frequencies and the FleetSync list, in
// file order.
template <class IO, class Entry> void walkEntry(IO& io, Entry& d) {
    using E = std::remove_const_t<Entry>;
    if constexpr (std::is_same_v<E, DtmfCodeEntry>) {
        io.i16(d.number);
        io.text(d.code);
    } else if constexpr (std::is_same_v<E, TestFreqEntry>) {
        io.i16(d.number);
        io.text(d.rxFreq);
        io.text(d.txFreq);
        io.i16(d.rxMark);
        io.i16(d.txMark);
    } else {
        static_assert(std::is_same_v<E, FleetSyncEntry>);
        io.i16(d.row);
        io.i16(d.fleet);
        io.i32(d.id);
    }
}

// Walks the record in file order; the same walk serves reading, writing and offsets.
template <class IO, class Config> void walkRecord(IO& io, const Product& p, Config& c) {
    if (p.hasVersionField) io.text(c.version);
    io.i16(c.currentGroup);
    for (auto& n : c.groupChannelCount)
        io.i16(n);
    if (io.mark) io.mark->channels = io.pos;
    for (auto& group : c.channels) {
        for (auto& e : group) {
            io.i16(e.channelNo);
            io.i16(e.inUse);
            io.text(e.rxFreq);
            io.text(e.txFreq);
            io.i16(e.scanFlag);
            for (int i = 1; i <= 7; ++i)
                io.i16(e.channelFlags[size_t(i)]);
            if (p.hasChannelExtras) {
                io.i16(e.rxExtra);
                io.i16(e.txExtra);
            }
        }
    }
    if (io.mark) io.mark->modelInfo = io.pos;
    auto& mi = c.modelInfo;
    io.text(mi.modelName);
    io.i16(mi.modelCode);
    io.i16(mi.bandCode);
    io.text(mi.createDate);
    io.text(mi.softwareVersionText);
    io.text(mi.modelNameCopy);
    io.i16(mi.bandCodeCopy);
    io.i16(mi.typeLetter);
    if (io.mark) io.mark->optionWords = io.pos;
    for (int i = 0; i < p.optionWordCount; ++i)
        io.i16(c.optionWords[size_t(i)]);
    if (io.mark) io.mark->keyAssign = io.pos;
    for (auto& w : c.keyAssign)
        io.i16(w);
    for (auto& w : c.scanWords)
        io.i16(w);
    for (auto& w : c.dtmf.encode)
        io.i16(w);
    io.text(c.dtmf.idCode);
    for (auto& w : c.dtmf.decode)
        io.i16(w);
    io.text(c.dtmf.stunCode);
    io.i16(c.dtmf.stunType);
    io.i16(c.fleetSync.ownFleet);
    io.i32(c.fleetSync.ownId);
    io.i16(c.fleetSync.baudRate);
    io.i32(c.fleetSync.modulationDelay);
    io.i32(c.fleetSync.messageTimer);
    io.i16(c.fleetSync.pttIdSideTone);
    io.i16(c.dtmfCodeCount);
    for (auto& d : c.dtmfCodes)
        walkEntry(io, d);
    if (io.mark) io.mark->testFreqCount = io.pos;
    io.i16(c.testFreqCount);
    for (auto& t : c.testFreqs)
        walkEntry(io, t);
    if (io.mark) io.mark->embeddedMessage = io.pos;
    for (auto& line : c.embeddedMessage)
        io.text(line);
    io.i16(c.fleetSyncListCount);
    if (io.mark) io.mark->fleetSyncList = io.pos;
    for (auto& f : c.fleetSyncList)
        walkEntry(io, f);
    if (io.mark) io.mark->end = io.pos;
}

struct Writer {
    QByteArray out;
    int pos = 0;
    RecordOffsets* mark = nullptr;
    template <class T> void put(T v) {
        char b[sizeof(T)];
        qToLittleEndian(v, b);
        out.append(b, sizeof(T));
        pos += int(sizeof(T));
    }
    void i16(const int16_t& v) { put(v); }
    void i32(const int32_t& v) { put(v); }
    template <int N> void text(const FixedText<N>& t) {
        out.append(t.bytes.data(), N);
        pos += N;
    }
};

struct Reader {
    const char* data;
    int pos = 0;
    RecordOffsets* mark = nullptr;
    void i16(int16_t& v) {
        v = qFromLittleEndian<int16_t>(data + pos);
        pos += 2;
    }
    void i32(int32_t& v) {
        v = qFromLittleEndian<int32_t>(data + pos);
        pos += 4;
    }
    template <int N> void text(FixedText<N>& t) {
        std::memcpy(t.bytes.data(), data + pos, N);
        pos += N;
    }
};

struct Measurer {
    int pos = 0;
    RecordOffsets* mark = nullptr;
    void i16(const int16_t&) { pos += 2; }
    void i32(const int32_t&) { pos += 4; }
    template <int N> void text(const FixedText<N>&) { pos += N; }
};

} // namespace

QByteArray encodeRecord(const Product& p, const RadioConfig& c) {
    Writer w;
    w.out.reserve(p.recordLength);
    walkRecord(w, p, c);
    Q_ASSERT(w.out.size() == p.recordLength);
    return w.out;
}

std::optional<RadioConfig> decodeRecord(const Product& p, const QByteArray& data) {
    if (data.size() < p.recordLength) return std::nullopt;
    RadioConfig c;
    Reader r{data.constData()};
    walkRecord(r, p, c);
    return c;
}

template <class Entry> QByteArray encodeEntry(const Entry& e) {
    Writer w;
    walkEntry(w, e);
    return w.out;
}
template <class Entry> Entry decodeEntry(const char* data) {
    Entry e;
    Reader r{data};
    walkEntry(r, e);
    return e;
}
template QByteArray encodeEntry(const DtmfCodeEntry&);
template QByteArray encodeEntry(const TestFreqEntry&);
template QByteArray encodeEntry(const FleetSyncEntry&);
template DtmfCodeEntry decodeEntry(const char*);
template TestFreqEntry decodeEntry(const char*);
template FleetSyncEntry decodeEntry(const char*);

RecordOffsets recordOffsets(const Product& p) {
    RecordOffsets o{};
    Measurer m;
    m.mark = &o;
    const RadioConfig c;
    walkRecord(m, p, c);
    return o;
}

std::optional<QString> recordDamage(const RadioConfig& c) {
    for (int g = 0; g < GroupCount; ++g) {
        const int count = c.groupChannelCount[size_t(g)];
        if (count < 0 || count > ChannelsPerGroup)
            return tr2("Group %1: %2 channels in use; a group holds 0 to 60.",
                       "%1 组：使用中的信道为 %2 个；每组只能有 0 到 60 个。")
                .arg(QChar(u'A' + g))
                .arg(count);
        std::array<bool, ChannelsPerGroup + 1> seen{};
        for (int k = 1; k <= count; ++k) {
            const int n = c.entry(g, k).channelNo;
            if (n < 1 || n > ChannelsPerGroup)
                return tr2("Group %1: channel number %2 is outside 1 to 60.",
                           "%1 组：信道号 %2 超出 1 到 60。")
                    .arg(QChar(u'A' + g))
                    .arg(n);
            if (seen[size_t(n)])
                return tr2("Group %1: channel %2 is in use twice.", "%1 组：信道 %2 出现了两次。")
                    .arg(QChar(u'A' + g))
                    .arg(n);
            seen[size_t(n)] = true;
        }
    }
    return std::nullopt;
}

// The record at the start of the file; only a regular file is read, and only the record's
// bytes. Without one, problem gets a line naming the file and why.
static std::optional<RadioConfig> readRecordFile(const Product& p, const QString& path,
                                                 QString* problem = nullptr) {
    const FileRead file = readRegularFile(path, p.recordLength);
    std::optional<RadioConfig> record;
    if (file.ok()) record = decodeRecord(p, file.bytes);
    if (!record && problem)
        *problem = !file.ok()
                       ? file.problem
                       : tr2("The file \"%1\" is not a %2 data file: it holds %3 bytes; "
                             "a data file holds %4.",
                             "文件“%1”不是 %2 数据文件：它只有 %3 字节，数据文件为 %4 字节。")
                             .arg(path, p.program)
                             .arg(file.bytes.size())
                             .arg(p.recordLength);
    return record;
}

bool loadDataFile(Document& doc, const QString& path) {
    const auto record = readRecordFile(doc.product(), path);
    if (!record || recordDamage(*record)) return false;
    doc.openRecord(*record);
    return true;
}

bool loadDataFileAsEdit(Document& doc, const QString& path, const QString& caption) {
    const auto record = readRecordFile(doc.product(), path);
    if (!record || recordDamage(*record)) return false;
    doc.takeRecord(*record, caption);
    return true;
}

QString shownFileVersion(const QByteArray& v) {
    bool numeric = v.size() == 4 && v.at(0) == 'V';
    for (int i = 1; numeric && i < 4; ++i)
        numeric = v.at(i) >= '0' && v.at(i) <= '9';
    if (!numeric) return messageText(Msg::Unknown);
    return QString::fromLatin1(v.left(2)) + QLatin1Char('.') + QString::fromLatin1(v.right(2));
}

QString shownProgramVersion() {
    const QString v = QString::fromLatin1(ProgramDataVersion);
    return v.left(2) + QLatin1Char('.') + v.right(2).left(1) + QLatin1Char('X');
}

QString versionMessageText(const QByteArray& fileVersion) {
    return messageText(Msg::VersionWrong) + QLatin1String("\r\n") +
           messageText(Msg::DataFileVersion) + QLatin1Char(' ') + shownFileVersion(fileVersion) +
           QLatin1String("\r\n") + messageText(Msg::SoftwareVersion) + QLatin1Char(' ') +
           shownProgramVersion();
}

OpenResult openDataFile(Document& doc, const QString& path) {
    QString problem;
    const auto record = readRecordFile(doc.product(), path, &problem);
    if (!record) {
        showMessage(messageText(Msg::FileError), MsgIcon::None, MsgButtons::Ok, problem);
        return OpenResult::FileError;
    }
    if (doc.product().hasVersionField &&
        !versionCompatible(record->version.text(), QString::fromLatin1(ProgramDataVersion))) {
        showMessage(versionMessageText(record->version.raw()), MsgIcon::None, MsgButtons::Ok,
                    tr2("The file \"%1\" was not made by this version of the program.",
                        "文件“%1”不是由此版本的程序生成的。")
                        .arg(path));
        return OpenResult::VersionRefused;
    }
    if (const auto damage = recordDamage(*record)) {
        showMessage(messageText(Msg::FileError) + QLatin1String("\r\n") + *damage, MsgIcon::None,
                    MsgButtons::Ok,
                    tr2("The file \"%1\" cannot be used.", "文件“%1”无法使用。").arg(path));
        return OpenResult::FileError;
    }
    doc.openRecord(*record);
    doc.fileOpened(path);
    return OpenResult::Opened;
}

bool writeRecordFile(const Product& p, const RadioConfig& c, const QString& path,
                     QString* errorText) {
    QByteArray bytes = encodeRecord(p, c);
    // A longer existing file keeps what lies beyond the record.
    QFile old(path);
    if (old.exists() && old.size() > p.recordLength && old.open(QIODevice::ReadOnly)) {
        old.seek(p.recordLength);
        bytes += old.readAll();
        old.close();
    }
    return writeWholeFile(path, bytes, errorText);
}

bool saveDataFile(Document& doc) {
    return saveDataFile(doc, doc.fileName());
}

bool saveDataFile(Document& doc, const QString& path) {
    QString why;
    if (!writeRecordFile(doc.product(), doc.recordToSave(), path, &why)) {
        // The file still holds what it held: so do the snapshot and the file name, and the
        // work stays unsaved.
        showMessage(messageText(Msg::FileError), MsgIcon::None, MsgButtons::Ok,
                    QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()) +
                        QLatin1String(": ") + why);
        return false;
    }
    doc.fileSaved(path);
    return true;
}
