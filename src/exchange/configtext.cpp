#include "configtext.h"

#include "configtextsupport.h"

#include "core/config/datafile.h"
#include "core/config/settingsfile.h"

#include <QCoreApplication>
#include <QDir>
#include <yaml-cpp/depthguard.h>

QString configTextFormatName(const Product& p) {
    return p.program + QStringLiteral(" configuration 1");
}

QString configTextSchemaFileName(const Product& p) {
    return p.program + QStringLiteral("-config.schema.json");
}

QByteArray configTextSchemaLine(const Product& p) {
    // The schema lies in the program's folder (<prefix>/share/<program> when installed), so
    // the line is the same for every export of one installation.
    const QString folder = QCoreApplication::instance()
                               ? programFolderFor(p, QCoreApplication::applicationDirPath())
                               : QStringLiteral("/usr/share/") + p.program;
    const QString path = QDir(folder).absoluteFilePath(configTextSchemaFileName(p));
    return QByteArrayLiteral("# yaml-language-server: $schema=") + path.toUtf8() + '\n';
}

namespace {
// What yaml-cpp found wrong with the text, with its line when it knows one.
QString yamlProblem(const YAML::Exception& e) {
    // yaml-cpp stops a text nested too deeply for its stack, with a message of no use here.
    const QString why = dynamic_cast<const YAML::DeepRecursion*>(&e)
                            ? QStringLiteral("nested too deeply; a configuration text has only "
                                             "a few levels")
                            : QString::fromStdString(e.msg);
    if (e.mark.is_null() || e.mark.line < 0) return why;
    return QStringLiteral("line %1: %2").arg(e.mark.line + 1).arg(why);
}
} // namespace

QByteArray exportConfigurationText(const Product& p, const RadioConfig& c) {
    ConfigTextWriter w;
    w.string(QStringLiteral("format"), configTextFormatName(p));
    writeGroups(w, p, c);
    writeOptions(w, p, c);
    writeKeyAssignment(w, p, c);
    writeScan(w, p, c);
    writeDtmf(w, p, c);
    writeFleetSync(w, p, c);
    writeTestFrequencies(w, p, c);
    writeMessageLines(w, p, c);
    writeRadioInformation(w, p, c);
    writeRecordRest(w, p, c);
    w.emitter() << YAML::EndMap;
    return configTextSchemaLine(p) + w.text();
}

ConfigTextImport importConfigurationText(const Product& p, const QByteArray& text,
                                         const RadioConfig& base) {
    ConfigTextImport result;
    YAML::Node root;
    try {
        root = YAML::Load(text.toStdString());
    } catch (const YAML::Exception& e) {
        result.problems.append(yamlProblem(e));
        return result;
    }
    auto problems = std::make_shared<QStringList>();
    ConfigTextReader r(root, QString(), problems);
    if (!r.isMap()) {
        result.problems.append(QStringLiteral("the text is no configuration: it holds no keys"));
        return result;
    }
    const ConfigTextReader format = r.child(QStringLiteral("format"));
    if (!format.isPresent()) {
        r.problem(QStringLiteral("format: missing; the first key must be \"format: %1\"")
                      .arg(configTextFormatName(p)));
        result.problems = *problems;
        return result;
    }
    if (format.scalar() != configTextFormatName(p)) {
        format.problem(QStringLiteral("\"%1\" is not \"%2\": this program reads only its own "
                                      "configurations of that version")
                           .arg(format.scalar().left(60), configTextFormatName(p)));
        result.problems = *problems;
        return result;
    }
    RadioConfig c = base;
    try {
        readGroups(r, p, c);
        readOptions(r, p, c);
        readKeyAssignment(r, p, c);
        readScan(r, p, c);
        readDtmf(r, p, c);
        readFleetSync(r, p, c);
        readTestFrequencies(r, p, c);
        readMessageLines(r, p, c);
        readRadioInformation(r, p, c);
        readRecordRest(r, p, c);
        r.rejectUnknownKeys();
    } catch (const YAML::Exception& e) {
        problems->append(yamlProblem(e));
    }
    // Whatever the text says, the record must be one a data file may hold.
    if (problems->isEmpty()) {
        if (const auto damage = recordDamage(c)) problems->append(*damage);
    }
    result.problems = *problems;
    if (result.problems.isEmpty()) result.record = c;
    return result;
}
