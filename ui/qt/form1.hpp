#pragma once

#include <QImage>
#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tavrin {
class ArithmeticFault;
}

namespace tavrin::ui {

class OutputBox;

/// Tavrin's window: the category and unit lists, the input and output boxes,
/// Convert and Exit.
///
/// Four handlers carry all behaviour: load, a choice from the category list,
/// Convert and Exit. They read the controls, call the conversion core and
/// show the result; nothing else reacts.
class Form1 : public QWidget {
  Q_OBJECT
public:
  /// Builds the window at its fixed place and size, and runs the load handler.
  explicit Form1(QWidget* parent = nullptr);

protected:
  void paintEvent(QPaintEvent* event) override;
  void changeEvent(QEvent* event) override;

private:
  void build_controls();
  void apply_look();
  void load();
  void cboType_click();
  void cmdConvert_click();
  void cmdExit_click();
  void show_fault(const ArithmeticFault& fault);

  QImage background_;
  QComboBox* cboType = nullptr;
  QComboBox* cboOriginal = nullptr;
  QLineEdit* txtOriginal = nullptr;
  QComboBox* cboConverted = nullptr;
  OutputBox* picConverted = nullptr;
  QLabel* Label1 = nullptr;
  QLabel* Label2 = nullptr;
  QLabel* Label3 = nullptr;
  QLabel* Label4 = nullptr;
  QPushButton* cmdConvert = nullptr;
  QPushButton* cmdExit = nullptr;
};

} // namespace tavrin::ui
