// The answer to one question: named columns and rows of values (NULL, integer or text).
#pragma once

#include <string>
#include <vector>

#include "platform/db.h"

namespace tavrix::queries {

using ResultRow = std::vector<db::Value>;

struct ResultTable {
  std::vector<std::string> columns;
  std::vector<ResultRow> rows;  // each as long as columns
};

}  // namespace tavrix::queries
