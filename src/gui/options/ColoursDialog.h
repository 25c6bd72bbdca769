// "Display colours": the text and background colours of the day and night schemes.
#pragma once

#include <QColor>
#include <QDialog>
#include <QImage>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>

#include "settings/Settings.h"

class QAbstractButton;
class QCheckBox;
class QLabel;
class QLineEdit;

class ColoursDialog : public QDialog {
    Q_OBJECT
public:
    // The four colours the dialog edits, in the order of colour().
    enum Which { DayText, DayBackground, NightText, NightBackground };
    enum Channel { Red, Green, Blue };

    // Asks the user for a colour; nullopt when the picker was cancelled.
    using Picker = std::function<std::optional<QColor>(QWidget* parent)>;

    explicit ColoursDialog(varno::settings::Settings& settings, QWidget* parent = nullptr);

    // A number field of a colour, whatever its place on screen.
    QLineEdit* field(Which which, Channel channel) const { return fields_.at(which).at(channel); }
    QAbstractButton* pickButton(Which which) const { return pick_.at(which); }
    // Checked: night shows the dimmed night colours (NightPalette); the night
    // fields keep the stored scheme and are greyed.
    QCheckBox* dimmedNight() const { return dimmed_; }
    // The samples as last drawn (day, night).
    QImage sample(bool night) const;
    // What "Pick" asks; QColorDialog, starting from black, unless replaced.
    void setPicker(Picker picker) { picker_ = std::move(picker); }

    // 0x00BBGGRR from the three fields, each cut to its low 8 bits.
    std::uint32_t colour(Which which) const;

public slots:
    void accept() override;

private:
    void pick(Which which);
    void redrawSamples();

    varno::settings::Settings& settings_;
    std::array<std::array<QLineEdit*, 3>, 4> fields_{};
    std::array<QAbstractButton*, 4> pick_{};
    std::array<QLabel*, 2> samples_{};
    QCheckBox* dimmed_ = nullptr;
    Picker picker_;
};
