#pragma once

#include <QByteArray>
#include <QString>

#include "web/FileVersion.h"

// The version page of the program's web site: one entry per line, "name version text", the
// three fields separated by runs of blanks or tabs, lines ending in a line feed.
// True when an entry for `programName` (compared without regard to case) lists a version newer
// than `own`. Lines of another form, and a last line without its line feed, are passed over.
bool VersionPageListsNewer(const QByteArray& page, const QString& programName, const FileVersion& own);
