// The texts' transaction runs on a thread of std::async; the connection outlives it for the next.
#include "searchindex/texts_beside_import.h"

#include <exception>
#include <utility>

namespace tavrix::searchindex {

TextsBesideImport::~TextsBesideImport() {
  if (written_.valid()) written_.wait();
}

void TextsBesideImport::start(ChunkTexts texts) {
  written_ = std::async(std::launch::async, [this, texts = std::move(texts)]() mutable {
    if (!connection_) {
      auto opened = std::make_unique<db::Connection>();
      opened->open(location_);
      connection_ = std::move(opened);
    }
    connection_->begin();
    try {
      const TextIds ids = addTexts(*connection_, texts);
      connection_->commit();
      return ids;
    } catch (...) {
      connection_->rollback();
      throw;
    }
  });
}

TextIds TextsBesideImport::wait() { return written_.get(); }

}  // namespace tavrix::searchindex
