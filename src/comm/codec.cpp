#include "codec.h"
// Implementation in progress.
void ClearRadioImage(const Product& p, QByteArray& image) { image = QByteArray(p.memorySize, char(0xFF)); }
std::optional<QString> BuildRadioImage(const Document&, QByteArray&) { return QString(); }
std::optional<QString> ParseRadioImage(Document&, const QByteArray&) { return QString(); }
LocalInformation ParseLocalInformation(const Product&, const QByteArray&) { return {}; }
std::optional<QByteArray> encodeFrequency(const Document&, const QString&) { return {}; }
DecodedFrequency decodeFrequency(const Product&, const QByteArray&) { return {}; }
