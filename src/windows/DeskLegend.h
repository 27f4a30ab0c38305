#pragma once

#include "desk/DeskModel.h"
#include "desk/Observers.h"

#include <QWidget>

#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QVBoxLayout;

namespace helm {

class LineLabel;
class ScreenRow;

// The desk window's right side: one row per screen in number order, a field naming the
// selected screen's computer, the model's hint and, optionally, how to add a PC. Follows the
// model and updates its widgets in place.
class DeskLegend : public QWidget {
public:
    DeskLegend(DeskModel& model, bool showPairing, QWidget* parent = nullptr);
    ~DeskLegend() override;

    // The rows in the order shown.
    const std::vector<ScreenRow*>& rows() const { return rows_; }
    QScrollArea* list() const { return list_; }
    QWidget* nameRow() const { return nameRow_; }
    QLineEdit* nameField() const { return field_; }
    QLabel* hint() const { return hint_; }
    QPushButton* identifyButton() const { return identify_; }
    // Absent without the pairing section.
    QWidget* pairing() const { return pairing_; }
    LineLabel* connection() const { return connection_; }

private:
    void follow();
    void fillRows();
    void rename(const QString& text);

    DeskModel& model_;
    const int listLimit_;
    Observers::Token token_ = 0;
    QPushButton* identify_ = nullptr;
    QScrollArea* list_ = nullptr;
    QVBoxLayout* rowsColumn_ = nullptr;
    std::vector<ScreenRow*> rows_;
    QWidget* nameRow_ = nullptr;
    QLineEdit* field_ = nullptr;
    QLabel* hint_ = nullptr;
    QWidget* pairing_ = nullptr;
    LineLabel* connection_ = nullptr;
};

} // namespace helm
