#include "clicommand.h"

#include "core/channels/channelrules.h"
#include "core/config/document.h"
#include "core/config/optionwords.h"
#include "exchange/configdiff.h"

namespace {

void describe(const Document& doc, QTextStream& o) {
    const Product& p = doc.product();
    const RadioConfig& c = doc.config();
    o << "Product: " << p.productName << '\n';
    if (p.hasVersionField) o << "Version: " << c.version.text() << '\n';
    o << "Model: " << doc.model() << '\n';
    o << "Band: " << doc.band() << '\n';
    o << "Created: " << shownFieldText(c.modelInfo.createDate.raw()) << '\n';
    o << "Software version: " << shownFieldText(c.modelInfo.softwareVersionText.raw()) << '\n';
    for (int g = 0; g < GroupCount; ++g) {
        const int count = std::clamp<int>(c.groupChannelCount[size_t(g)], 0, ChannelsPerGroup);
        o << '\n'
          << "Group " << groupLetter(g) << ": " << count << (count == 1 ? " channel" : " channels");
        const int emergency = OptionWord::FirstEmergencyChannel + g;
        if (p.optionWordCount > emergency)
            o << ", emergency channel " << c.optionWords[size_t(emergency)] + 1;
        o << '\n';
        for (int k = 1; k <= count; ++k) {
            const ChannelEntry& e = c.entry(g, k);
            QStringList flags;
            for (int i = 1; i <= 7; ++i)
                if (e.channelFlags[size_t(i)] == 1) flags << channelFlagName(i);
            o << QStringLiteral("  %1  RX %2  TX %3  Scan %4  Flags %5")
                     .arg(e.channelNo, 2)
                     .arg(shownFrequency(doc, e.rxFreq.text()), -9)
                     .arg(shownFrequency(doc, e.txFreq.text()), -9)
                     .arg(e.scanFlag == 1 ? QStringLiteral("Add") : QStringLiteral("Del"))
                     .arg(flags.isEmpty() ? QStringLiteral("none") : flags.join(QLatin1Char(' ')))
              << '\n';
        }
    }
    o << '\n' << "Options:" << '\n';
    for (int i = 0; i < p.optionWordCount; ++i) {
        const QString stored = QString::number(c.optionWords[size_t(i)]);
        const QString shown = shownOptionWord(doc, i);
        o << QStringLiteral("  %1 %2 = %3").arg(i, 2).arg(QLatin1String(OptionWordLabels[i]), shown)
          << (shown == stored ? QString() : QStringLiteral(" (stored %1)").arg(stored)) << '\n';
    }
    o << '\n';
    for (int line = 0; line < 2; ++line)
        o << "Message line " << line + 1 << ": \""
          << QString::fromLatin1(c.embeddedMessage[size_t(line)].untilNul()) << "\"\n";
}

} // namespace

// show FILE.dat: the configuration in readable form.
int showCommand(const Product& p, const QStringList& args, const CliStreams& io) {
    const CliArgs a = parseCliArgs(args);
    const QString why = commonProblem(QStringLiteral("show"), a, {QStringLiteral("FILE.dat")});
    if (!why.isEmpty()) return usageError(p, QStringLiteral("show"), why, io.err);
    Document doc(p);
    doc.initialiseDefaults();
    if (!openConfigFile(doc, a.positional.first())) return ExitUsageOrFile;
    describe(doc, io.out);
    io.out.flush();
    return ExitOk;
}
