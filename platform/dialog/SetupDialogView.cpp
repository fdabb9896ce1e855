#include "platform/dialog/SetupDialogView.h"

#include "platform/dialog/Banner.h"
#include "shell/SetupDialogModel.h"

#include <gdk/gdkkeysyms.h>
#include <gtk/gtk.h>

namespace quorvel::platform {
namespace {

struct View {
    SetupDialogModel* model = nullptr;
    GtkWidget* dialog = nullptr;
    GtkWidget* adapterList = nullptr;
    GtkWidget* deviceList = nullptr;
    GtkWidget* multiSampleList = nullptr;
    GtkWidget* modeList = nullptr;
    GtkWidget* windowedButton = nullptr;
    GtkWidget* fullScreenButton = nullptr;
    GtkWidget* trustBox = nullptr;  // only when the model offers it
    GtkWidget* okButton = nullptr;
    bool refreshing = false;  // widget changes made by refresh() are not user actions
};

void fillList(GtkWidget* combo, const std::vector<std::string>& items, int selection) {
    GtkComboBoxText* text = GTK_COMBO_BOX_TEXT(combo);
    gtk_combo_box_text_remove_all(text);
    for (const std::string& item : items) gtk_combo_box_text_append_text(text, item.c_str());
    gtk_combo_box_set_active(GTK_COMBO_BOX(combo), selection);
}

void refresh(View& view) {
    view.refreshing = true;
    const SetupDialogLists& lists = view.model->lists();
    fillList(view.adapterList, lists.adapters, lists.adapterSelection);
    fillList(view.deviceList, lists.devices, lists.deviceSelection);
    fillList(view.modeList, lists.modes, lists.modeSelection);
    fillList(view.multiSampleList, lists.multiSamples, lists.multiSampleSelection);
    gtk_widget_set_sensitive(view.multiSampleList, lists.multiSampleEnabled);
    gtk_widget_set_sensitive(view.windowedButton, lists.windowedEnabled);
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(lists.windowedChecked ? view.windowedButton : view.fullScreenButton),
                                 TRUE);
    gtk_widget_set_sensitive(view.modeList, lists.modeListEnabled);
    if (view.trustBox) {
        gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(view.trustBox), lists.trustChecked);
        gtk_widget_set_sensitive(view.trustBox, lists.trustEnabled);
    }
    view.refreshing = false;
}

bool windowedChecked(const View& view) {
    return gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(view.windowedButton)) != FALSE;
}

void send(View& view, SetupDialogCommand command, int index) {
    if (view.refreshing) return;
    view.model->command(command, index, windowedChecked(view));
    refresh(view);
}

void onListChanged(GtkComboBox* combo, gpointer data) {
    View& view = *static_cast<View*>(data);
    if (view.refreshing) return;
    const int index = gtk_combo_box_get_active(combo);
    if (index < 0) return;
    GtkWidget* widget = GTK_WIDGET(combo);
    if (widget == view.adapterList) send(view, SetupDialogCommand::AdapterChosen, index);
    else if (widget == view.deviceList) send(view, SetupDialogCommand::DeviceChosen, index);
    else if (widget == view.modeList) send(view, SetupDialogCommand::ModeChosen, index);
    else if (widget == view.multiSampleList) send(view, SetupDialogCommand::MultiSampleChosen, index);
}

void onRadioToggled(GtkToggleButton* button, gpointer data) {
    View& view = *static_cast<View*>(data);
    // Each click toggles two buttons; react once, for the one that came on.
    if (!gtk_toggle_button_get_active(button)) return;
    send(view, SetupDialogCommand::RadioClicked, 0);
}

void onTrustToggled(GtkToggleButton* box, gpointer data) {
    send(*static_cast<View*>(data), SetupDialogCommand::TrustToggled, gtk_toggle_button_get_active(box) ? 1 : 0);
}

// Return accepts the dialog, as a dialog's default button does, unless the focus is on another
// push button (Return presses that one).
gboolean onKeyPress(GtkWidget*, GdkEventKey* event, gpointer data) {
    View& view = *static_cast<View*>(data);
    if (event->keyval == GDK_KEY_Return || event->keyval == GDK_KEY_KP_Enter) {
        GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(view.dialog));
        if (focus && GTK_IS_BUTTON(focus) && !GTK_IS_TOGGLE_BUTTON(focus) && focus != view.okButton) return FALSE;
        gtk_dialog_response(GTK_DIALOG(view.dialog), SetupDialogModel::kOk);
        return TRUE;
    }
    return FALSE;
}

GtkWidget* labelled(GtkGrid* grid, int row, const char* text, GtkWidget* control) {
    GtkWidget* label = gtk_label_new(text);
    gtk_label_set_xalign(GTK_LABEL(label), 0.0f);
    gtk_grid_attach(grid, label, 0, row, 1, 1);
    gtk_widget_set_hexpand(control, TRUE);
    gtk_grid_attach(grid, control, 1, row, 1, 1);
    return control;
}

GtkWidget* groupBox(const char* caption, GtkWidget** gridOut) {
    GtkWidget* frame = gtk_frame_new(caption);
    GtkWidget* grid = gtk_grid_new();
    gtk_grid_set_row_spacing(GTK_GRID(grid), 6);
    gtk_grid_set_column_spacing(GTK_GRID(grid), 8);
    gtk_container_set_border_width(GTK_CONTAINER(grid), 8);
    gtk_container_add(GTK_CONTAINER(frame), grid);
    *gridOut = grid;
    return frame;
}

void build(View& view) {
    view.dialog = gtk_dialog_new();
    GtkWindow* window = GTK_WINDOW(view.dialog);
    gtk_window_set_title(window, "Demoengine Setup");
    gtk_window_set_modal(window, TRUE);
    gtk_window_set_resizable(window, FALSE);
    gtk_window_set_position(window, GTK_WIN_POS_CENTER);

    GtkWidget* content = gtk_dialog_get_content_area(GTK_DIALOG(view.dialog));
    gtk_box_set_spacing(GTK_BOX(content), 8);

    GdkPixbuf* banner = createBanner(kBannerWidth, kBannerHeight);
    GtkWidget* picture = banner ? gtk_image_new_from_pixbuf(banner) : gtk_image_new();
    if (banner) g_object_unref(banner);
    gtk_box_pack_start(GTK_BOX(content), picture, FALSE, FALSE, 0);

    GtkWidget* grid = nullptr;
    GtkWidget* devices = groupBox("Device Selection", &grid);
    view.adapterList = labelled(GTK_GRID(grid), 0, "Adapter", gtk_combo_box_text_new());
    view.deviceList = labelled(GTK_GRID(grid), 1, "Device", gtk_combo_box_text_new());
    view.multiSampleList = labelled(GTK_GRID(grid), 2, "Multisample", gtk_combo_box_text_new());
    gtk_container_set_border_width(GTK_CONTAINER(devices), 4);
    gtk_box_pack_start(GTK_BOX(content), devices, FALSE, FALSE, 0);

    GtkWidget* modes = groupBox("Mode Selection", &grid);
    view.windowedButton = gtk_radio_button_new_with_label(nullptr, "Windowed");
    view.fullScreenButton =
        gtk_radio_button_new_with_label_from_widget(GTK_RADIO_BUTTON(view.windowedButton), "Full Screen");
    gtk_grid_attach(GTK_GRID(grid), view.windowedButton, 0, 0, 2, 1);
    gtk_grid_attach(GTK_GRID(grid), view.fullScreenButton, 0, 1, 1, 1);
    view.modeList = gtk_combo_box_text_new();
    gtk_widget_set_hexpand(view.modeList, TRUE);
    gtk_grid_attach(GTK_GRID(grid), view.modeList, 1, 1, 1, 1);
    gtk_container_set_border_width(GTK_CONTAINER(modes), 4);
    gtk_box_pack_start(GTK_BOX(content), modes, FALSE, FALSE, 0);

    // Below the mode controls, and only for a show that brings plug-ins: the dialog of any other
    // show keeps its layout.
    if (view.model->lists().trustShown) {
        view.trustBox = gtk_check_button_new_with_label(kShowTrustCaption);
        gtk_widget_set_tooltip_text(view.trustBox, kShowTrustTooltip);
        gtk_widget_set_margin_start(view.trustBox, 4);
        gtk_box_pack_start(GTK_BOX(content), view.trustBox, FALSE, FALSE, 0);
        g_signal_connect(view.trustBox, "toggled", G_CALLBACK(onTrustToggled), &view);
    }

    gtk_dialog_add_button(GTK_DIALOG(view.dialog), "Cancel", SetupDialogModel::kCancel);
    GtkWidget* ok = gtk_dialog_add_button(GTK_DIALOG(view.dialog), "OK", SetupDialogModel::kOk);
    view.okButton = ok;
    gtk_widget_set_can_default(ok, TRUE);
    gtk_dialog_set_default_response(GTK_DIALOG(view.dialog), SetupDialogModel::kOk);

    for (GtkWidget* list : {view.adapterList, view.deviceList, view.multiSampleList, view.modeList})
        g_signal_connect(list, "changed", G_CALLBACK(onListChanged), &view);
    g_signal_connect(view.windowedButton, "toggled", G_CALLBACK(onRadioToggled), &view);
    g_signal_connect(view.fullScreenButton, "toggled", G_CALLBACK(onRadioToggled), &view);
    g_signal_connect(view.dialog, "key-press-event", G_CALLBACK(onKeyPress), &view);

    gtk_widget_show_all(view.dialog);
    gtk_widget_grab_default(ok);
    gtk_widget_grab_focus(ok);
}

// Lets GTK finish unmapping the dialog before the program's own window appears.
void flushEvents() {
    while (gtk_events_pending()) gtk_main_iteration();
}

}  // namespace

int runSetupDialogView(SetupDialogModel& model) {
    static bool triedInit = false;
    static bool haveDisplay = false;
    if (!triedInit) {
        triedInit = true;
        // GTK would otherwise switch the process to the user's locale, and the script's
        // numbers ("12.5") are read after the dialog with the C locale's decimal point.
        gtk_disable_setlocale();
        haveDisplay = gtk_init_check(nullptr, nullptr) != FALSE;
    }
    if (!haveDisplay) return kSetupDialogNoDisplay;

    model.initialise();
    View view;
    view.model = &model;
    build(view);
    refresh(view);

    const int response = gtk_dialog_run(GTK_DIALOG(view.dialog));
    const SetupDialogCommand command =
        response == SetupDialogModel::kOk ? SetupDialogCommand::Ok : SetupDialogCommand::Cancel;
    const int result = model.command(command, 0, windowedChecked(view));

    gtk_widget_destroy(view.dialog);
    flushEvents();
    return result;
}

}  // namespace quorvel::platform
