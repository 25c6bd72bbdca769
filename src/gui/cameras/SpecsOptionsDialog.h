// "Specs options": whether the average speed is shown in specs zones.
#pragma once

#include <QDialog>

#include "base/Prompt.h"
#include "cameras/AverageSpeed.h"

class QCheckBox;

class SpecsOptionsDialog : public QDialog {
    Q_OBJECT
public:
    SpecsOptionsDialog(varno::cameras::AverageSpeed& specs, varno::Prompt& prompt, QWidget* parent = nullptr);
    QCheckBox* enable() const { return enable_; }

public slots:
    void accept() override;

private:
    varno::cameras::AverageSpeed& specs_;
    varno::Prompt& prompt_;
    QCheckBox* enable_;
};
