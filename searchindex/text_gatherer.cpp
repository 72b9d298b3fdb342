// One gathering thread; the queue is bounded so that a slow thread holds the import back instead
// of letting copies pile up.
#include "searchindex/text_gatherer.h"

#include <algorithm>
#include <exception>
#include <utility>

namespace tavrix::searchindex {

namespace {

constexpr std::size_t kMostWaitingFiles = 64;

}  // namespace

TextGatherer::TextGatherer(std::vector<SearchedTable> tables)
    : tables_(std::move(tables)), texts_(tables_), thread_([this] { gather(); }) {
  for (const SearchedTable& table : tables_) lastItem_.emplace_back(table.textFields.size());
}

TextGatherer::~TextGatherer() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void TextGatherer::note(std::size_t table, std::size_t field, std::string_view text, std::int64_t rno) {
  std::optional<std::size_t>& last = lastItem_[table][field];
  if (last) {
    const Item& item = file_.items[*last];
    if (item.rno == rno && std::string_view(file_.bytes).substr(item.offset, item.length) == text) return;
  }
  last = file_.items.size();
  file_.items.push_back({static_cast<std::uint32_t>(table), static_cast<std::uint32_t>(field),
                         static_cast<std::uint32_t>(file_.bytes.size()), static_cast<std::uint32_t>(text.size()), rno});
  file_.bytes.append(text);
}

void TextGatherer::dropFile() {
  file_.bytes.clear();
  file_.items.clear();
  forgetLastItems();
}

void TextGatherer::forgetLastItems() {
  for (auto& fields : lastItem_) std::fill(fields.begin(), fields.end(), std::nullopt);
}

void TextGatherer::keepFile() {
  kept_.push_back(std::exchange(file_, Batch{}));
  forgetLastItems();
}

void TextGatherer::commitKept() {
  for (Batch& file : kept_) {
    {
      std::unique_lock lock(mutex_);
      changed_.wait(lock, [&] { return queue_.size() < kMostWaitingFiles; });
      queue_.push_back(std::move(file));
    }
    changed_.notify_all();
  }
  kept_.clear();
}

void TextGatherer::dropKept() { kept_.clear(); }

std::optional<ChunkTexts> TextGatherer::take() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] { return queue_.empty() && !busy_; });
  std::optional<ChunkTexts> taken;
  if (!failed_) taken.emplace(std::move(texts_));
  texts_ = ChunkTexts(tables_);
  failed_ = false;
  return taken;
}

void TextGatherer::gather() {
  while (true) {
    Batch batch;
    {
      std::unique_lock lock(mutex_);
      changed_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
      if (queue_.empty()) return;
      batch = std::move(queue_.front());
      queue_.pop_front();
      busy_ = true;
    }
    changed_.notify_all();  // room in the queue
    bool ok = true;
    try {
      const std::string_view bytes = batch.bytes;
      for (const Item& item : batch.items) texts_.add(item.table, item.field, bytes.substr(item.offset, item.length), item.rno);
    } catch (const std::exception&) {
      ok = false;
    }
    {
      std::lock_guard lock(mutex_);
      busy_ = false;
      if (!ok) failed_ = true;
    }
    changed_.notify_all();
  }
}

}  // namespace tavrix::searchindex
