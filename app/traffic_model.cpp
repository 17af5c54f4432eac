#include "app/traffic_model.h"

#include <QSize>
#include <algorithm>

#include "engine/traffic_decode.h"

const TrafficModel::Row& TrafficModel::Ring::at(int i) const
{
    return rows[static_cast<std::size_t>((head + i) % static_cast<int>(rows.size()))];
}

void TrafficModel::Ring::push(const Row& row)
{
    const int capacity = static_cast<int>(rows.size());
    if (size == capacity) dropFront(1);
    rows[static_cast<std::size_t>((head + size) % capacity)] = row;
    ++size;
}

void TrafficModel::Ring::dropFront(int count)
{
    count = std::clamp(count, 0, size);
    head = (head + count) % static_cast<int>(rows.size());
    size -= count;
}

namespace {

// Characters of a row besides the hex of its frame: time, direction, the
// decoded meaning with a caption, the response time.
constexpr int kTextChars = 120;

}  // namespace

TrafficModel::TrafficModel(QObject* parent) : QAbstractListModel(parent) {}

void TrafficModel::setCharSize(int width, int height)
{
    charWidth_ = std::max(1, width);
    rowHeight_ = std::max(1, height);
    emit layoutAboutToBeChanged();
    emit layoutChanged();
}

void TrafficModel::noteLength(const Row& row)
{
    if (row.lost == 0 && row.event.length > longestFrame_) {
        longestFrame_ = row.event.length;
        wider_ = true;
    }
}

int TrafficModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : shown_.size;
}

QVariant TrafficModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() < 0 || index.row() >= shown_.size) return {};
    if (role == Qt::SizeHintRole) return QSize(charWidth_ * (kTextChars + 3 * longestFrame_), rowHeight_);
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole) return {};
    return rowText(index.row());
}

QString TrafficModel::rowText(int row) const
{
    if (row < 0 || row >= shown_.size) return {};
    const Row& r = shown_.at(row);
    return QString::fromStdString(r.lost > 0 ? LostEventsLine(r.lost) : TrafficLine(r.event));
}

QString TrafficModel::text() const
{
    QString all;
    for (int i = 0; i < shown_.size; ++i) {
        all += rowText(i);
        all += '\n';
    }
    return all;
}

template <typename RowAt>
void TrafficModel::append(int count, RowAt rowAt)
{
    // Of a batch longer than the list, only its last kRows rows would stay.
    const int skip = std::max(0, count - kRows);
    const int added = count - skip;
    if (added <= 0) return;
    const int drop = std::max(0, shown_.size + added - kRows);
    if (drop > 0) {
        beginRemoveRows(QModelIndex(), 0, drop - 1);
        shown_.dropFront(drop);
        endRemoveRows();
    }
    beginInsertRows(QModelIndex(), shown_.size, shown_.size + added - 1);
    for (int i = skip; i < count; ++i) {
        const Row& row = rowAt(i);
        noteLength(row);
        shown_.push(row);
    }
    endInsertRows();
    if (wider_) {
        // The list measures one row for all: it measures again.
        wider_ = false;
        emit layoutAboutToBeChanged();
        emit layoutChanged();
    }
}

void TrafficModel::add(const LineEvent* events, int count)
{
    if (events == nullptr || count <= 0) return;
    Row row;
    const auto rowAt = [&](int i) -> const Row& {
        row.event = events[i];
        return row;
    };
    if (paused_) {
        for (int i = std::max(0, count - kRows); i < count; ++i) held_.push(rowAt(i));
        return;
    }
    append(count, rowAt);
}

void TrafficModel::addLost(std::uint64_t count)
{
    if (count == 0) return;
    Row row;
    row.lost = count;
    if (paused_) {
        held_.push(row);
        return;
    }
    append(1, [&](int) -> const Row& { return row; });
}

void TrafficModel::setPaused(bool paused)
{
    if (paused == paused_) return;
    paused_ = paused;
    if (paused_ || held_.size == 0) return;
    append(held_.size, [this](int i) -> const Row& { return held_.at(i); });
    held_.dropFront(held_.size);
}

void TrafficModel::clear()
{
    beginResetModel();
    shown_.dropFront(shown_.size);
    held_.dropFront(held_.size);
    longestFrame_ = 8;
    endResetModel();
}
