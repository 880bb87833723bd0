// The end-number table drawn from the sample grid: one text per cell on the scratch level, the
// columns as far apart as the grid's columns are wide and the rows twice its row height, from
// the point the table's bars give.
#include <algorithm>

#include "PreviewKeyins.h"
#include "Previews.h"
#include "WizardForm.h"
#include "common/mstnmacro.h"
#include "core/Clock.h"
#include "core/Numbers.h"
#include "generator/TextKeyins.h"
#include "platform/MessageBoxes.h"

namespace vtl::wizard {

namespace {

double Val(const std::string& text) {
    return num::leadingNumber(text);
}

}  // namespace

// Drawn on the pages that show the cover sheet's key plan: its pages "Key plan" and "Table", and
// the page "View" of "Iso3D". A redraw asked for while one runs (the events between the rows)
// follows it, so the last layout is the one drawn.
void MicroStationPreviews::TDBGrid_ColResize(int) {
    if (drawingTable_) {
        drawTableAgain_ = true;
        return;
    }
    BusyScope busy(form_);
    drawingTable_ = true;
    guarded(tableFailure_, platform::vbExclamation, &MicroStationPreviews::drawTableWhileAsked);
    drawingTable_ = drawTableAgain_ = false;
}

void MicroStationPreviews::drawTableWhileAsked() {
    do {
        drawTableAgain_ = false;
        drawTable();
    } while (drawTableAgain_);
}

void MicroStationPreviews::drawTable() {
    WizardForm& f = form_;
    const int tab = f.SSTab.Tab();
    if (!MSTNApp || !((tab == kPageIso3D && f.SSTab3.Tab() == 0) ||
                      (tab == kPageIsoCoverSheet && f.SSTab2.Tab() != 2))) {
        return;
    }
    clearScratch();
    const SymbologyControls s = f.tableSymbology();
    showSymbology(s);
    const WizardForm::TableLayout table = f.tableLayout();
    s.status.setPanel(7, "XY: " + preview::point(num::RoundValue(Val(table.columns[0]), 5),
                                                 num::RoundValue(Val(table.top), 5)));
    sendKeyin(symbologyKeyin(s) + ";TX=" + preview::keyinSafe(s.height->Text(), "text height") +
              ";TW=" + preview::keyinSafe(s.width->Text(), "text width"));
    ado::Recordset& rows = f.sampleTable;
    if (rows.BOF() && rows.EOF_()) return;
    drawTableRows();
}

// The grid's last record, numbered 1, where the run puts its first row; each record above it in
// the grid one step further, in the direction the run goes (upwards for a positive step).
void MicroStationPreviews::drawTableRows() {
    WizardForm& f = form_;
    ado::Recordset& rows = f.sampleTable;
    const WizardForm::TableLayout table = f.tableLayout();
    double y = Val(table.top);
    rows.MoveLast();
    while (!rows.BOF()) {
        for (long i = 0; i < rows.Fields().Count(); ++i) {
            const std::string text = keyinText(rows.Fields()(i).Value().asText());
            const double x = Val(table.columns[static_cast<size_t>(std::min(i, 4L))]);
            sendKeyin("NULL;LV=" + scratchLevel() + ";PLACE TEXT;" + text +
                      ";XY=" + preview::point(x, y) + ";LV=" + f.cmbTabLevel.Text() + ";NULL");
        }
        y += Val(table.spacing);
        rows.MovePrevious();
        clock().processEvents();
    }
}

}  // namespace vtl::wizard
