// The six basic lines of the detail tree, read from the computer's T_BasicInf row.
#include "views/detail/detail_sections.h"
#include "views/detail/line_format.h"

namespace tavrix::detail {
namespace {

std::string processorLine(DetailLoad& d) {
  std::string line = d.basic("CPUT").text() + spacer(11) + d.basic("CPUMHz").text() + "   " +
                     d.basic("CPUName").text() + "  ";
  if (isNotEmptyText(d.basic("CPUExtClockT"))) {
    line += "(" + d.basic("CPUExtClockT").text() + ":" + d.basic("CPUExtClock").text() + ")  ";
    // The cache part only ever follows the external clock.
    if (isNotEmptyText(d.basic("CPUL2CacheSizeT")))
      line += "(" + d.basic("CPUL2CacheSizeT").text() + ":" + d.basic("CPUL2CacheSize").text() + ")  ";
  }
  return line;
}

}  // namespace

void addBasicLines(DetailLoad& d) {
  d.add("", "PCid", d.basic("PCid").text() + "               作成日:" + minuteText(d.basic("CreateDate")));
  d.add("", "ComputerName", d.basic("ComputerNameT").text() + spacer(5) + d.basic("ComputerName").text());
  d.add("", "UserName", d.basic("UserNameT").text() + spacer(9) + d.basic("UserName").text());
  d.add("", "OSVersion", d.basic("OSVersionT").text() + spacer(5) + d.basic("OSVersion").text());
  d.add("", "CPU", processorLine(d));
  d.add("", "Memory", d.basic("MemoryT").text() + spacer(5) + d.basic("MemorySize").text());
}

}  // namespace tavrix::detail
