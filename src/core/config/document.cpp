#include "document.h"

#include "datafile.h"
#include "messages.h"
#include "optionwords.h"

#include <QFileInfo>

#include <algorithm>
#include <functional>

QByteArray modelNameField(const QString& model) {
    return model.toLatin1() + '\0';
}

Document::Document(const Product& product) : m_product(&product) {
    m_model = product.defaultModel;
    m_band = product.band4Text;
    deriveLimits();
}

void Document::deriveLimits() {
    const BandLimits l = deriveFrequencyLimits(m_band);
    m_lowerLimit = l.lower;
    m_upperLimit = l.upper;
}

void Document::appendChannel(int g, int n, const QString& f) {
    auto& count = m_config.groupChannelCount.at(size_t(g));
    if (count >= ChannelsPerGroup) return;
    ++count;
    ChannelEntry& e = m_config.entry(g, count);
    e.channelNo = int16_t(n);
    e.inUse = 1;
    const QString stored = storedFrequencyText(f, m_lowerLimit);
    e.rxFreq.assign(stored);
    e.txFreq.assign(stored);
    e.scanFlag = 1;
    for (int i = 1; i <= 7; ++i)
        e.channelFlags[size_t(i)] = (i == 3) ? 1 : 0;
}

void Document::initialiseDefaults(const QString& templatePath, QDate today) {
    const Product& p = *m_product;
    m_config = RadioConfig{};
    m_model = p.defaultModel;
    m_band = p.band4Text;
    deriveLimits();
    m_untitled = true;
    m_fileName = QStringLiteral("new.dat");
    m_loadedVersion = QString::fromLatin1(ProgramDataVersion);

    m_config.version.assign(QByteArray(ProgramDataVersion));
    m_config.currentGroup = 0;
    static const char* const defaultFreqs[GroupCount] = {"28.015000", "28.145000", "28.115000",
                                                         "28.085000", "28.055000", "28.025000"};
    for (int g = 0; g < GroupCount; ++g) {
        m_config.groupChannelCount[size_t(g)] = 0;
        appendChannel(g, 1, QString::fromLatin1(defaultFreqs[g]));
    }

    static const int16_t options[MaxOptionWords] = {
        2, 105, 2, 105, 3, 1, 0, 4, 0, 60, 110, 160, 1, 1, 1, 1, 1, 1, 0,   0, 0,
        0, 0,   0, 0,   0, 0, 0, 0, 0, 0,  0,   0,   0, 0, 0, 0, 1, 1, 100, 0, 0};
    for (int i = 0; i < MaxOptionWords; ++i)
        m_config.optionWords[size_t(i)] = i < p.optionWordCount ? options[i] : 0;
    m_config.optionWords[OptionWord::FrequencyStep] = int16_t(p.defaultFrequencyStep);
    m_config.keyAssign = {255, 10};
    m_config.scanWords = {0, 255, 31, 51, 1, 3, 3};
    m_config.dtmf.encode = {0, 0, 10, 0, 0, 1};
    m_config.dtmf.idCode.assign(QByteArray("000"));
    m_config.dtmf.decode = {0, 10, 0, 0, 0};
    m_config.dtmf.stunCode.assignEmpty();
    m_config.dtmf.stunType = 0;
    m_config.fleetSync = {255, 0, 0, 400, 10, 1};
    m_config.fleetSyncListCount = 0;
    m_config.dtmfCodeCount = 0;

    m_config.testFreqCount = 6;
    const int b = bandPlanIndex(m_band);
    for (int i = 1; i <= 6; ++i) {
        TestFreqEntry& t = m_config.testFreqs[size_t(i - 1)];
        const TestFreqPair& d = defaultTestFreqTable()[size_t(b)][size_t(i - 1)];
        t.number = int16_t(i);
        t.rxFreq = storedTestFreq(d.rx);
        t.txFreq = storedTestFreq(d.tx);
        t.rxMark = t.txMark = 15;
    }

    m_config.embeddedMessage[0].assignEmpty();
    m_config.embeddedMessage[1].assignEmpty();

    ModelInfo& mi = m_config.modelInfo;
    mi.bandCodeCopy = int16_t(currentBandCode());
    mi.modelNameCopy.assign(modelNameField(m_model));
    mi.typeLetter = 'C';
    mi.createDate.assign(today.toString(QStringLiteral("yyyyMMdd")));
    mi.softwareVersionText.assign(QByteArray("V1.00"));

    if (!templatePath.isEmpty() && QFileInfo::exists(templatePath))
        loadDataFile(*this, templatePath);

    takeSnapshot();
}

RadioConfig Document::recordToSave() const {
    RadioConfig r = m_config;
    ModelInfo& mi = r.modelInfo;
    mi.modelName.assign(modelNameField(m_model));
    mi.modelCode = int16_t(modelClass(m_model));
    mi.bandCode = int16_t(currentBandCode());
    r.version.assign(QByteArray(ProgramDataVersion));
    return r;
}

void Document::takeSnapshot() {
    m_config = recordToSave();
    m_snapshot = m_config;
}

void Document::fileOpened(const QString& path) {
    m_fileName = path;
    m_untitled = false;
}

void Document::fileSaved(const QString& path) {
    m_fileName = path;
    m_untitled = false;
    takeSnapshot();
}

void Document::becameUntitled(const QString& proposedName) {
    m_fileName = proposedName;
    m_untitled = true;
}

void Document::openRecord(const RadioConfig& record) {
    m_snapshot = record;
    m_config = record;
    m_loadedVersion = m_config.version.text();
    m_model = cleanModelText(m_config.modelInfo.modelName.text());
    m_band = bandText(*m_product, m_config.modelInfo.bandCode, m_model);
    deriveLimits();
    emit notifier().configurationReplaced();
}

void Document::takeRecord(const RadioConfig& record, const QString& caption) {
    const RadioConfig fileSnapshot = m_snapshot;
    openRecord(record);
    m_snapshot = fileSnapshot;
    finishEdit(caption);
}

void Document::replaceConfiguration(const Document& source, const QString& caption) {
    replaceConfiguration(source.m_config, source.m_model, source.m_band, caption);
}

void Document::replaceConfiguration(const RadioConfig& record, const QString& model,
                                    const QString& band, const QString& caption) {
    m_config = record;
    m_model = model;
    m_band = band;
    deriveLimits();
    emit notifier().configurationReplaced();
    finishEdit(caption);
}

void Document::setModelAndBand(const QString& model, const QString& band, const QString& caption) {
    m_model = model;
    m_band = band;
    ModelInfo& mi = m_config.modelInfo;
    // Models whose name and class the record takes; another keeps the ones it has.
    static const char* const knownModels[] = {"WX40", "863", "864", "5470", "5480"};
    for (const char* known : knownModels) {
        if (model == QLatin1String(known)) {
            mi.modelName.assign(modelNameField(model));
            mi.modelCode = int16_t(modelClass(model));
        }
    }
    mi.bandCode = int16_t(bandCode(*m_product, band, model));
    deriveLimits();
    finishEdit(caption);
}

void Document::setCurrentGroup(int group) {
    m_config.currentGroup = int16_t(group);
}

void Document::setOptionWord(int word, int value, const QString& caption) {
    change(caption, [&](RadioConfig& c) { c.optionWords.at(size_t(word)) = int16_t(value); });
}

void Document::setOptionWords(const std::array<int16_t, MaxOptionWords>& words,
                              const QString& caption) {
    change(caption, [&](RadioConfig& c) { c.optionWords = words; });
}

void Document::setMessageLine(int line, const QByteArray& bytes, const QString& caption) {
    change(caption, [&](RadioConfig& c) { c.embeddedMessage.at(size_t(line)).assign(bytes); });
}

void Document::setKeyAssignment(int key, int value, const QString& caption) {
    change(caption, [&](RadioConfig& c) { c.keyAssign.at(size_t(key)) = int16_t(value); });
}

void Document::setScanWords(const std::array<int16_t, 7>& words, const QString& caption) {
    change(caption, [&](RadioConfig& c) { c.scanWords = words; });
}

void Document::setDtmfSettings(const DtmfSettings& settings, const QString& caption) {
    change(caption, [&](RadioConfig& c) { c.dtmf = settings; });
}

void Document::setDtmfAutodialMemories(int count, const std::array<DtmfCodeEntry, 8>& codes,
                                       const QString& caption) {
    change(caption, [&](RadioConfig& c) {
        c.dtmfCodeCount = int16_t(count);
        c.dtmfCodes = codes;
    });
}

void Document::setFleetSyncSettings(const FleetSyncSettings& settings, const QString& caption) {
    change(caption, [&](RadioConfig& c) { c.fleetSync = settings; });
}

void Document::setFleetSyncList(int count, const std::array<FleetSyncEntry, 8>& list,
                                const QString& caption) {
    change(caption, [&](RadioConfig& c) {
        c.fleetSyncListCount = int16_t(count);
        c.fleetSyncList = list;
    });
}

void Document::setTestFrequencies(int count, const std::array<TestFreqEntry, 16>& entries,
                                  const QString& caption) {
    m_config.testFreqCount = int16_t(count);
    m_config.testFreqs = entries;
    markTestFrequencies();
    emit notifier().settingsChanged();
    finishEdit(caption);
}

void Document::setModelInformation(const ModelInfo& info, const QString& caption) {
    change(caption, [&](RadioConfig& c) { c.modelInfo = info; });
}

static bool sameChannel(const ChannelEntry& a, const ChannelEntry& b) {
    return a.channelNo == b.channelNo && a.inUse == b.inUse && a.rxFreq == b.rxFreq &&
           a.txFreq == b.txFreq && a.scanFlag == b.scanFlag &&
           std::equal(a.channelFlags.begin() + 1, a.channelFlags.end(), b.channelFlags.begin() + 1);
}

// The settings only a data file keeps (key assignment, scan, DTMF, FleetSync, test
// frequencies): a technician's change of them must be saved like any other. The marks of the
// test frequencies follow from the frequencies and are left out.
static bool sameFileOnlySettings(const RadioConfig& w, const RadioConfig& s) {
    const auto sameEntries = [](const auto& a, const auto& b, int count, auto same) {
        count = std::clamp(count, 0, int(a.size()));
        return std::equal(a.begin(), a.begin() + count, b.begin(), same);
    };
    const auto sameTestFreq = [](const TestFreqEntry& a, const TestFreqEntry& b) {
        return a.number == b.number && a.rxFreq == b.rxFreq && a.txFreq == b.txFreq;
    };
    return w.keyAssign == s.keyAssign && w.scanWords == s.scanWords && w.dtmf == s.dtmf &&
           w.fleetSync == s.fleetSync && w.dtmfCodeCount == s.dtmfCodeCount &&
           sameEntries(w.dtmfCodes, s.dtmfCodes, s.dtmfCodeCount, std::equal_to<>()) &&
           w.testFreqCount == s.testFreqCount &&
           sameEntries(w.testFreqs, s.testFreqs, s.testFreqCount, sameTestFreq) &&
           w.fleetSyncListCount == s.fleetSyncListCount &&
           sameEntries(w.fleetSyncList, s.fleetSyncList, s.fleetSyncListCount, std::equal_to<>());
}

bool Document::isModified() const {
    const RadioConfig& w = m_config;
    const RadioConfig& s = m_snapshot;
    for (int g = 0; g < GroupCount; ++g) {
        if (w.groupChannelCount[size_t(g)] != s.groupChannelCount[size_t(g)]) return true;
        // A count outside 0..60 (a damaged file) compares the places that exist.
        const int count = std::clamp<int>(s.groupChannelCount[size_t(g)], 0, ChannelsPerGroup);
        for (int k = 1; k <= count; ++k) {
            const ChannelEntry& se = s.entry(g, k);
            const ChannelEntry* we = &w.entry(g, k);
            if (we->channelNo != se.channelNo) {
                we = nullptr;
                for (int j = 1; j <= count && !we; ++j)
                    if (w.entry(g, j).channelNo == se.channelNo) we = &w.entry(g, j);
                if (!we) return true;
            }
            if (!sameChannel(*we, se)) return true;
        }
    }
    const ModelInfo& a = w.modelInfo;
    const ModelInfo& b = s.modelInfo;
    if (a.modelNameCopy != b.modelNameCopy || a.modelName != b.modelName ||
        a.softwareVersionText != b.softwareVersionText || a.createDate != b.createDate ||
        a.typeLetter != b.typeLetter || a.bandCodeCopy != b.bandCodeCopy ||
        a.modelCode != b.modelCode || a.bandCode != b.bandCode)
        return true;
    if (w.embeddedMessage != s.embeddedMessage) return true;
    for (int i = 0; i < optionWordCount(); ++i)
        if (w.optionWords[size_t(i)] != s.optionWords[size_t(i)]) return true;
    return !sameFileOnlySettings(w, s);
}

// A band default test frequency as a new configuration stores it: the stored form followed by
// one character 0.
FixedText<8> Document::storedTestFreq(const QString& shown) const {
    return FixedText<8>((storedFrequencyText(shown, m_lowerLimit) + QChar(0)).toLatin1());
}

void Document::markTestFrequencies() {
    const int b = testMarkBandIndex(m_band);
    const int count = std::clamp<int>(m_config.testFreqCount, 0, 16);
    for (int i = 1; i <= count; ++i) {
        TestFreqEntry& t = m_config.testFreqs[size_t(i - 1)];
        const int e = t.number;
        if (e < 1 || e > 16) continue; // an entry number outside 1..16 has no band default
        const TestFreqPair& d = defaultTestFreqTable()[size_t(b)][size_t(e - 1)];
        t.rxMark = t.rxFreq == storedTestFreq(d.rx) ? 15 : 2;
        t.txMark = t.txFreq == storedTestFreq(d.tx) ? 15 : 2;
    }
}

void Document::finishEdit(const QString& caption) {
    if (m_editStepDepth == 0) emit notifier().edited(caption);
}

EditStep::EditStep(Document& doc, QString caption) : m_doc(doc), m_caption(std::move(caption)) {
    ++m_doc.m_editStepDepth;
}

EditStep::~EditStep() {
    --m_doc.m_editStepDepth;
    m_doc.finishEdit(m_caption);
}

QString changeCaption(const QString& what) {
    return tr2("Change %1", "修改 %1").arg(what);
}
