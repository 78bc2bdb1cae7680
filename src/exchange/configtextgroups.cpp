#include "configtextsupport.h"

void writeGroups(ConfigTextWriter&, const Product&, const RadioConfig&) {}
void readGroups(ConfigTextReader&, const Product&, RadioConfig&) {}
void writeMessageLines(ConfigTextWriter&, const Product&, const RadioConfig&) {}
void readMessageLines(ConfigTextReader&, const Product&, RadioConfig&) {}
void writeRadioInformation(ConfigTextWriter&, const Product&, const RadioConfig&) {}
void readRadioInformation(ConfigTextReader&, const Product&, RadioConfig&) {}
void writeRecordRest(ConfigTextWriter&, const Product&, const RadioConfig&) {}
void readRecordRest(ConfigTextReader&, const Product&, RadioConfig&) {}
