// An IG menu's model as JSON, field by field in record order.

#include "json/JsonMenu.h"

namespace corvane::json {

namespace {

OrderedJson effectSequenceJson(const Teffectseq& sequence) {
    OrderedJson windows = OrderedJson::array();
    for (const auto& w : sequence.windows)
        windows.push_back(OrderedJson{{"window_id", w.window_id},
                                      {"window_horizontal_position", w.window_horizontal_position},
                                      {"window_vertical_position", w.window_vertical_position},
                                      {"window_width", w.window_width},
                                      {"window_height", w.window_height}});
    OrderedJson effects = OrderedJson::array();
    for (const auto& effect : sequence.effects) {
        OrderedJson objects = OrderedJson::array();
        for (const auto& o : effect.composition_objects)
            objects.push_back(OrderedJson{
                {"object_id_ref", o.object_id_ref},
                {"window_id_ref", o.window_id_ref},
                {"composition_flags", o.composition_flags},
                {"composition_object_horizontal_position", o.composition_object_horizontal_position},
                {"composition_object_vertical_position", o.composition_object_vertical_position},
                {"object_cropping_horizontal_position", o.object_cropping_horizontal_position},
                {"object_cropping_vertical_position", o.object_cropping_vertical_position},
                {"object_cropping_width", o.object_cropping_width},
                {"object_cropping_height", o.object_cropping_height}});
        effects.push_back(OrderedJson{{"effect_duration", effect.effect_duration},
                                      {"palette_id_ref", effect.palette_id_ref},
                                      {"number_of_composition_objects", effect.number_of_composition_objects},
                                      {"composition_objects", objects}});
    }
    return OrderedJson{{"number_of_windows", sequence.number_of_windows},
                       {"windows", windows},
                       {"number_of_effects", sequence.number_of_effects},
                       {"effects", effects}};
}

OrderedJson buttonJson(const TIGbutton& b) {
    OrderedJson commands = OrderedJson::array();
    for (const auto& command : b.navigation_commands)
        commands.push_back(toJson(command, CommandContext::Button));
    return OrderedJson{{"button_id", b.button_id},
                       {"button_numeric_select_value", b.button_numeric_select_value},
                       {"auto_action_flag", b.auto_action_flag},
                       {"button_horizontal_position", b.button_horizontal_position},
                       {"button_vertical_position", b.button_vertical_position},
                       {"upper_button_id_ref", b.upper_button_id_ref},
                       {"lower_button_id_ref", b.lower_button_id_ref},
                       {"left_button_id_ref", b.left_button_id_ref},
                       {"right_button_id_ref", b.right_button_id_ref},
                       {"normal_start_object_id_ref", b.normal_start_object_id_ref},
                       {"normal_end_object_id_ref", b.normal_end_object_id_ref},
                       {"normal_repeat_flag", b.normal_repeat_flag},
                       {"selected_state_sound_id_ref", b.selected_state_sound_id_ref},
                       {"selected_start_object_id_ref", b.selected_start_object_id_ref},
                       {"selected_end_object_id_ref", b.selected_end_object_id_ref},
                       {"selected_repeat_flag", b.selected_repeat_flag},
                       {"activated_state_sound_id_ref", b.activated_state_sound_id_ref},
                       {"activated_start_object_id_ref", b.activated_start_object_id_ref},
                       {"activated_end_object_id_ref", b.activated_end_object_id_ref},
                       {"number_of_navigation_commands", b.number_of_navigation_commands},
                       {"navigation_commands", commands}};
}

OrderedJson pageJson(const TPage& page) {
    OrderedJson bogs = OrderedJson::array();
    for (const auto& bog : page.BOGs) {
        OrderedJson buttons = OrderedJson::array();
        for (const auto& button : bog.buttons) buttons.push_back(buttonJson(button));
        bogs.push_back(OrderedJson{{"default_valid_button_id_ref", bog.default_valid_button_id_ref},
                                   {"number_of_buttons", bog.number_of_buttons},
                                   {"buttons", buttons}});
    }
    return OrderedJson{
        {"page_id", page.page_id},
        {"page_version_number", page.page_version_number},
        {"UO_mask_table", page.UO_mask_table},
        {"effect_sequences", OrderedJson::array({effectSequenceJson(page.effect_sequences[0]),
                                                 effectSequenceJson(page.effect_sequences[1])})},
        {"animation_frame_rate_code", page.animation_frame_rate_code},
        {"default_selected_button_id_ref", page.default_selected_button_id_ref},
        {"default_activated_button_id_ref", page.default_activated_button_id_ref},
        {"palette_id_ref", page.palette_id_ref},
        {"number_of_BOGs", page.number_of_BOGs},
        {"BOGs", bogs}};
}

OrderedJson compositionJson(const TIGSc& ics) {
    OrderedJson pages = OrderedJson::array();
    for (const auto& page : ics.pages) pages.push_back(pageJson(page));
    OrderedJson fragments = OrderedJson::array();
    for (const auto& f : ics.ics_fragments)
        fragments.push_back(OrderedJson{{"sequence_flags", f.sequence_flags},
                                        {"data_position", f.data_position},
                                        {"data_length", f.data_length}});
    return OrderedJson{{"video_width", ics.video_width},
                       {"video_height", ics.video_height},
                       {"frame_rate_id", ics.frame_rate_id},
                       {"composition_number", ics.composition_number},
                       {"composition_state", ics.composition_state},
                       {"interactive_composition_length", ics.interactive_composition_length},
                       {"stream_ui_model", ics.stream_ui_model},
                       {"composition_time_out_pts", ics.composition_time_out_pts},
                       {"selection_time_out_pts", ics.selection_time_out_pts},
                       {"user_time_out_duration", ics.user_time_out_duration},
                       {"number_of_pages", ics.number_of_pages},
                       {"pages", pages},
                       {"ics_fragments", fragments}};
}

} // namespace

OrderedJson toJson(const TMenu& menu) {
    OrderedJson objects = OrderedJson::array();
    for (const auto& object : menu.IGObjects) {
        OrderedJson fragments = OrderedJson::array();
        for (const auto& f : object.fragments)
            fragments.push_back(OrderedJson{{"object_version_number", f.object_version_number},
                                            {"sequence_flags", f.sequence_flags},
                                            {"data_position", f.data_position},
                                            {"data_length", f.data_length}});
        objects.push_back(OrderedJson{{"object_id", object.object_id},
                                      {"rle_data_length", object.rle_data_length},
                                      {"object_width", object.object_width},
                                      {"object_height", object.object_height},
                                      {"fragment_count", object.fragment_count},
                                      {"fragments", fragments}});
    }
    OrderedJson palettes = OrderedJson::array();
    for (const auto& palette : menu.IGPalettes) {
        OrderedJson entries = OrderedJson::array();
        for (const auto& e : palette.entries) entries.push_back(OrderedJson::array({e[0], e[1], e[2], e[3]}));
        palettes.push_back(OrderedJson{{"palette_id", palette.palette_id},
                                       {"palette_version_number", palette.palette_version_number},
                                       {"entries", entries}});
    }
    return OrderedJson{{"IGSc", compositionJson(menu.IGSc)},
                       {"MenuInTime", menu.MenuInTime},
                       {"IGObjects", objects},
                       {"IGPalettes", palettes}};
}

} // namespace corvane::json
