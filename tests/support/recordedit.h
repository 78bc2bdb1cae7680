#pragma once

#include "core/config/document.h"

// Test set-up: changes the working record of doc the way another configuration replacing it
// would (its file and snapshot stay), so that a test starts from the bytes it needs.
template <class Edit> void editRecord(Document& doc, Edit&& edit) {
    RadioConfig record = doc.config();
    edit(record);
    doc.replaceConfiguration(record, doc.model(), doc.band(), QString());
}

// Model and band as a configuration of another radio brings them (limits follow); the record
// stays.
inline void useModelAndBand(Document& doc, const QString& model, const QString& band) {
    doc.replaceConfiguration(doc.config(), model, band, QString());
}

inline void setRecord(Document& doc, const RadioConfig& record) {
    doc.replaceConfiguration(record, doc.model(), doc.band(), QString());
}
