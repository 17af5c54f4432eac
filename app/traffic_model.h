// The rows of the monitor's traffic list: the last kRows events on the line.
//
// The rows live in a ring allocated once, when the model is made; a new event
// is copied into it and nothing is allocated for it. A row is put into words
// only when the list draws it or the traffic is saved, so events that scroll
// by unseen cost no text at all. While the list is paused, new rows wait in a
// second ring of the same size (the oldest waiting ones go first when it is
// full) and join the shown ones on resume. UI thread only.
#pragma once

#include <QAbstractListModel>
#include <QString>
#include <cstdint>
#include <vector>

#include "modbus/line_events.h"

class TrafficModel : public QAbstractListModel {
public:
    static constexpr int kRows = 2000;

    explicit TrafficModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    // Adds `count` events, oldest first.
    void add(const LineEvent* events, int count);
    // Adds a row saying that `count` events were lost before the next one.
    void addLost(std::uint64_t count);
    // Paused, the rows hold still and new ones wait; resumed, the waiting
    // rows are added.
    void setPaused(bool paused);
    bool paused() const { return paused_; }
    // Drops every row, shown and waiting.
    void clear();
    // Rows waiting while paused.
    int waiting() const { return held_.size; }
    // The text of one row, and of every row shown, a line each.
    QString rowText(int row) const;
    QString text() const;
    // The width of a character and the height of a row in the list's font:
    // every row is as wide as the longest frame seen needs, so that the list
    // lays out rows without putting them into words.
    void setCharSize(int width, int height);

private:
    struct Row {
        std::uint64_t lost = 0;  // > 0: a row telling of lost events, `event` unused
        LineEvent event;
    };
    struct Ring {
        explicit Ring(int capacity) : rows(static_cast<std::size_t>(capacity)) {}
        const Row& at(int i) const;
        // Adds at the end, replacing the oldest row when full.
        void push(const Row& row);
        void dropFront(int count);
        std::vector<Row> rows;
        int head = 0;  // index of the oldest row
        int size = 0;
    };

    // Appends rows to the shown ones, dropping the oldest beyond kRows.
    template <typename RowAt>
    void append(int count, RowAt rowAt);

    void noteLength(const Row& row);

    Ring shown_{kRows};
    Ring held_{kRows};
    bool paused_ = false;
    int longestFrame_ = 8;  // bytes of the longest frame seen since the last clear
    bool wider_ = false;    // longestFrame_ grew since the list last heard of it
    int charWidth_ = 8;
    int rowHeight_ = 16;
};
