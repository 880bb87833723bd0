// The end-number table drawn from the sample grid: one text per cell on the scratch level, the
// columns as far apart as the grid's columns are wide and the rows twice its row height, from
// the point the table's bars give.
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

using VTLWizardBase::gridstep;
using VTLWizardBase::xstep;
using VTLWizardBase::ystep;

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
    s.status.setPanel(7, "XY: " + preview::point(num::RoundValue(f.HScrollTab.Value() * xstep, 5),
                                                 num::RoundValue(f.VScrollTab.Value() * ystep, 5)));
    sendKeyin(symbologyKeyin(s) + ";TX=" + preview::keyinSafe(s.height->Text(), "text height") +
              ";TW=" + preview::keyinSafe(s.width->Text(), "text width"));
    ado::Recordset& rows = f.sampleTable;
    if (rows.BOF() && rows.EOF_()) return;
    drawTableRows();
}

// From the last record up, so the first record is the table's top row as in the grid.
void MicroStationPreviews::drawTableRows() {
    WizardForm& f = form_;
    ado::Recordset& rows = f.sampleTable;
    double y = f.VScrollTab.Value() * ystep;
    rows.MoveLast();
    while (!rows.BOF()) {
        double x = f.HScrollTab.Value() * xstep;
        for (long i = 0; i < rows.Fields().Count(); ++i) {
            const std::string text = keyinText(rows.Fields()(i).Value().asText());
            sendKeyin("NULL;LV=" + scratchLevel() + ";PLACE TEXT;" + text +
                      ";XY=" + preview::point(x, y) + ";LV=" + f.cmbTabLevel.Text() + ";NULL");
            x += f.TDBGrid.columnWidth(static_cast<int>(i)) * gridstep;
        }
        y += 2 * f.TDBGrid.RowHeight() * ystep;
        rows.MovePrevious();
        clock().processEvents();
    }
}

}  // namespace vtl::wizard
