// What a preset load shows while it runs: the bank table drives it, the window that
// shows it is plugged in from outside, so the bank engine needs no widgets.
#pragma once

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

class QWidget;

class LoadProgress
{
public:
    virtual ~LoadProgress() = default;

    virtual void SetLegend(const QString& text) = 0;
    // The progress runs from 0 to max.
    virtual void SetRange(uint32_t max) = 0;
    virtual void SetPos(uint32_t position) = 0;
};

// Creates the progress display of one preset load, for the given owner window; the
// display lasts as long as the returned object.
using LoadProgressFactory = std::function<std::unique_ptr<LoadProgress>(QWidget* owner)>;
