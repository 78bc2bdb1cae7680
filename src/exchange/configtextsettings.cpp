#include "configtextsupport.h"

// Options, key assignment, scan, DTMF, FleetSync and test frequencies.

void writeOptions(ConfigTextWriter&, const Product&, const RadioConfig&) {}
void readOptions(ConfigTextReader&, const Product&, RadioConfig&) {}
void writeKeyAssignment(ConfigTextWriter&, const Product&, const RadioConfig&) {}
void readKeyAssignment(ConfigTextReader&, const Product&, RadioConfig&) {}
void writeScan(ConfigTextWriter&, const Product&, const RadioConfig&) {}
void readScan(ConfigTextReader&, const Product&, RadioConfig&) {}
void writeDtmf(ConfigTextWriter&, const Product&, const RadioConfig&) {}
void readDtmf(ConfigTextReader&, const Product&, RadioConfig&) {}
void writeFleetSync(ConfigTextWriter&, const Product&, const RadioConfig&) {}
void readFleetSync(ConfigTextReader&, const Product&, RadioConfig&) {}
void writeTestFrequencies(ConfigTextWriter&, const Product&, const RadioConfig&) {}
void readTestFrequencies(ConfigTextReader&, const Product&, RadioConfig&) {}
