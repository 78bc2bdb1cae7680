#pragma once

#include "core/comm/fleet.h"

#include <QString>

// The record of programmed radios a dealer keeps: one CSV row per radio, appended to a file
// that grows over many runs.
//
//   time,program,port,model,band,firmware,serial,operation,result,seconds,verify,file
//   2026-12-08T23:15:00+01:00,meridox,/dev/ttyUSB0,SOLV,400-470MHz,V100,,write,success,11.27,,a.dat
//
// The header goes into a new or empty file only. Each row is written and flushed on its own,
// so a crash loses no row written before it.

QString fleetLogHeader();
QString fleetLogRow(const QString& program, const FleetRecord& record);
// Appends the row; false with the reason when the file cannot be written.
bool appendFleetLog(const QString& path, const QString& program, const FleetRecord& record,
                    QString* error);
