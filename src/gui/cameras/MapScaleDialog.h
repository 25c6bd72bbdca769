// "Set Map Scale": the map radius chosen from eight widths.
#pragma once

#include <QDialog>
#include <array>

#include "geo/MapScale.h"

class QRadioButton;

class MapScaleDialog : public QDialog {
    Q_OBJECT
public:
    explicit MapScaleDialog(varno::geo::MapScale& scale, QWidget* parent = nullptr);
    QRadioButton* choice(std::size_t i) const { return buttons_.at(i); }

public slots:
    void accept() override;

private:
    varno::geo::MapScale& scale_;
    std::array<QRadioButton*, varno::geo::kMapScaleChoices.size()> buttons_{};
};
