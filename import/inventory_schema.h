// Whether a database holds every table and field the import writes.
#pragma once

#include <string>

#include "platform/db.h"

namespace tavrix {

// "" when every inventory table has every field the import writes; else what is missing, as
// "T_Drive" or "T_Drive.FreeSpace" (the first few). Throws DbError when the schema cannot be read.
std::string missingInventoryFields(db::Connection& connection);

}  // namespace tavrix
