// The status bar's file-name field: a long path loses its middle, not its file name, and the
// whole path is the field's tooltip.
#pragma once

#include <QLabel>

namespace folvek {

class PathField : public QLabel {
    Q_OBJECT
  public:
    explicit PathField(QWidget* parent = nullptr);

    // The path, shown elided to the field's width; text() and the tooltip keep it whole.
    void setPath(const QString& path);
    // What the field shows at its present width.
    QString shownText() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QRect textRect() const;
};

}  // namespace folvek
