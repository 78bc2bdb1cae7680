#pragma once

#include "core/config/radioconfig.h"
#include "core/product/product.h"

#include <QByteArray>
#include <QStringList>
#include <optional>

// The whole configuration as YAML text, for version control, review and scripts. Every field
// of the record is written under the name the windows give it and in the units they show;
// what the windows never show is carried under plainly named keys, so that importing an
// exported text gives back the very same record, byte for byte.

// The text of a configuration. The same record always gives the same bytes.
QByteArray exportConfigurationText(const Product& p, const RadioConfig& c);

struct ConfigTextImport {
    std::optional<RadioConfig> record; // set only when there is no problem
    // One line per problem, each naming its line and path:
    // "line 88: groups.B.channels[7].rx: 31.2 MHz is outside the band 25.605000 - 30.115000 MHz"
    QStringList problems;
};

// Reads a text over base: a key the text omits keeps base's value. Checks everything first;
// any problem gives no record at all.
ConfigTextImport importConfigurationText(const Product& p, const QByteArray& text,
                                         const RadioConfig& base);

// The header value that names the format and its version: "meridox configuration 1".
QString configTextFormatName(const Product& p);
// The schema file's name, "meridox-config.schema.json", and the first line of every export,
// which points editors to the installed schema.
QString configTextSchemaFileName(const Product& p);
QByteArray configTextSchemaLine(const Product& p);
