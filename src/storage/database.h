#pragma once
// The database file "tovu.db" in the configuration directory, its four tables
// and the process-wide connection and record set.
#include <string>

namespace quorvel {

class SqliteDB;
class SqliteDataset;

// The one connection every part of the plug-in uses.
SqliteDB& PluginDb();
// The one shared record set of the window's card-key queries and orders filter.
SqliteDataset& SharedDataset();

// The four CREATE TABLE statements, in order, and the lookup indexes.
extern const char* const kSchemaStatements[4];
extern const char* const kIndexStatements[4];

// Opens PluginDb on ConfigDir() + "tovu.db", creating the file with its four
// tables (and indexes) when no file exists there. An existing file gets only
// the missing indexes. Takes PluginLock().
void OpenDatabase();

}  // namespace quorvel
