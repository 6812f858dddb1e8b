// The document view: the frame's client, on which the current page is drawn, and the owner of
// the command set, the printer and (for the whole run) the record.
#pragma once

#include <QAbstractScrollArea>
#include <QColor>
#include <QHash>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "page_cells.h"
#include "page_locator.h"
#include "text_search.h"

class QAction;
class QMenu;
class QMouseEvent;
class QPainter;

namespace folvek {

class Document;
class DocumentSignals;
class DocumentRecord;
class PrinterSettings;

class ReportView : public QAbstractScrollArea {
    Q_OBJECT
  public:
    ReportView();
    ~ReportView() override;

    // The second half of start-up: creates the record, applies the overrides, loads the
    // document, and runs the batch printing.
    void setupWindow();

    // The command table.
    struct CommandEntry {
        std::function<void()> handler;
        std::function<bool()> enabled;  // null: always enabled
    };
    // Each module registers the commands it runs (register*Commands); a later entry of an id
    // replaces the earlier one.
    void addCommand(int id, std::function<void()> handler, std::function<bool()> enabled = {});
    bool hasCommand(int id) const { return commands_.contains(id); }
    bool isCommandEnabled(int id) const;
    // Runs the command when it is enabled, then refreshes every command's state.
    void runCommand(int id);
    // The action that menus, keys and the tool bar share for a command (created on demand).
    QAction* commandAction(int id);
    void updateCommandStates();
    QMenu* contextMenu() const { return contextMenu_; }

    // The shown document's record: its lines, settings and layout, for reading and drawing.
    DocumentRecord* record() const;
    DocumentSignals* documentSignals() const { return signals_; }

    // The matches of a search, marked on the page shown (null: none); the vector must live
    // until it is replaced.
    void setSearchMarks(const std::vector<TextMatch>* matches);
    const std::vector<TextMatch>* searchMarks() const { return marks_; }
    // The tints of the matches on the page: every match, and the one shown last.
    static QColor searchMarkColour() { return QColor(255, 225, 70); }
    static QColor currentMatchColour() { return QColor(255, 140, 30); }
    // The sheet that shows a match; shows that sheet and scrolls the match into sight.
    int sheetOf(const TextMatch& match);
    void showMatch(const TextMatch& match);
    // The text of sheet `page` as shown, in Unicode (frame characters as box drawing).
    std::u16string pageText(int page);
    // The rectangle of character cells selected with the mouse on the page shown (none: no
    // selection); a click without a drag and every change of page clear it
    // (report_view_selection.cpp).
    const std::optional<CellRange>& selection() const { return selection_; }
    void setSelection(const std::optional<CellRange>& cells);
    // The selected cells' text in Unicode, empty without a selection.
    std::u16string selectionText();
    // The selected cells, one string per row, every row kept: the grid tables are found on.
    std::vector<std::u16string> selectionRows();
    // The cell the right-button menu was opened on, until the next menu; none before.
    const std::optional<Cell>& contextCell() const { return contextCell_; }
    // The document line and its visible column that a cell of the shown sheet draws; false
    // below the sheet's last line.
    bool documentCell(Cell cell, std::int64_t& line, std::int32_t& column);
    // The cell under a point of the viewport, as the page is painted.
    Cell cellAtViewport(QPointF pos);
    // The document object: every change to the shown document goes through it.
    Document* document() const { return model_.get(); }
    PrinterSettings* printer() const { return printer_.get(); }
    bool hasMailer() const { return hasMailer_; }

    // Scroller: positions in units, clamped into 0..range.
    int hUnit() const { return hUnit_; }
    int vUnit() const { return vUnit_; }
    int hPos() const;
    int vPos() const;
    int hRange() const;
    int vRange() const;
    void scrollTo(int x, int y);

    // Page navigation, zoom and orientation (report_view_paint.cpp).
    void nextPage();
    void prevPage();
    void firstPage();
    void lastPage();
    void zoomIn();
    void zoomOut();
    void setOrientation(int orient);
    void UpdateScrollRanges();
    void repaintAll();  // invalidate the whole view with erasing

    // Commands of this window (file_commands.cpp, about_commands.cpp).
    void openDocument();
    // Open's work once the file is chosen (the dialog, a dropped file, the recent list): the
    // shown document is recorded in the history, then `path` is shown with `settings` when
    // given, else with the settings file the history knows for it.
    void openFile(const std::string& path, const std::string* settings = nullptr);
    void saveDocumentAs();
    void exitProgram();
    void showHelp();
    void showAbout();
    void openWebSite();
    void mailAuthor();

    // Writes the history entry of the shown document; a history that cannot be written is
    // reported (the old file stays as it was).
    void saveHistory();
    // A document that opened (at start or through Open) goes to the desktop's recent list.
    void documentOpened(const std::string& path);

    // Reads the shown document again and lays it out.
    void reloadDocument();

    // The device pixels the page is shifted by for the scroll position.
    QPointF scrollOffset() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    void buildCommandTable();
    void fillContextMenu();
    void updatePageSteps();
    // Device pixels per 0.01 inch of the page at the zoom shown.
    double pixelsPerUnitX() const;
    double pixelsPerUnitY() const;
    void paintSelection(QPainter& painter);
    // While a drag holds the pointer beyond the viewport, the page scrolls towards it.
    void dragScrollStep();
    // Everything the view shows of the document follows its notification.
    void documentChanged(unsigned changes);

    QMenu* contextMenu_ = nullptr;
    std::unique_ptr<PrinterSettings> printer_;
    std::unique_ptr<Document> model_;
    std::set<std::string> unsavedSettingsSaid_;  // settings files said once not to be saved
    DocumentRecord* record_ = nullptr;  // the model's record, for the view's own drawing and keys
    DocumentSignals* signals_ = nullptr;
    PageLocator pageLocator_;  // the page starts of the shown layout
    const std::vector<TextMatch>* marks_ = nullptr;
    std::optional<TextMatch> currentMark_;  // the match shown last, in a colour of its own
    std::optional<CellRange> selection_;
    Cell dragAnchor_;
    std::optional<Cell> contextCell_;
    QPoint pressPos_;
    bool pressed_ = false;
    bool dragging_ = false;
    QPoint dragPos_;  // the pointer, in viewport pixels, while dragging
    QTimer* dragScroll_ = nullptr;
    bool hasMailer_ = false;
    int hUnit_ = 0;
    int vUnit_ = 0;
    QHash<int, CommandEntry> commands_;
    QHash<int, QAction*> actions_;
};

// The commands of the view's own modules: open, save as and exit (file_commands.cpp), pages,
// zoom and orientation (report_view_paint.cpp), help and about (about_commands.cpp).
void registerFileCommands(ReportView& view);
void registerViewCommands(ReportView& view);
void registerAboutCommands(ReportView& view);

}  // namespace folvek
