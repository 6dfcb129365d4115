// libdvdnav and libdvdread, for DVD folders and discs.
#include <dvdnav/dvdnav.h>
#include <dvdread/dvd_reader.h>
#include <dvdread/ifo_read.h>

#include "lazyload/lazyload.h"

namespace {
kolvarin::lazyload::TLazyLibrary libdvdnav{KOLVARIN_SONAME_dvdnav};
kolvarin::lazyload::TLazyLibrary libdvdread{KOLVARIN_SONAME_dvdread};
} // namespace

KOLVARIN_LAZY_FORWARD(libdvdnav, dvdnav_status_t, dvdnav_angle_change, (dvdnav_t * self, int32_t angle), (self, angle))
KOLVARIN_LAZY_FORWARD(libdvdnav, dvdnav_status_t, dvdnav_button_activate, (dvdnav_t * self, pci_t* pci), (self, pci))
KOLVARIN_LAZY_FORWARD(libdvdnav, dvdnav_status_t, dvdnav_button_activate_cmd,
                      (dvdnav_t * self, int32_t button, vm_cmd_t* cmd), (self, button, cmd))
KOLVARIN_LAZY_FORWARD(libdvdnav, dvdnav_status_t, dvdnav_button_select, (dvdnav_t * self, pci_t* pci, int32_t button),
                      (self, pci, button))
KOLVARIN_LAZY_FORWARD(libdvdnav, dvdnav_status_t, dvdnav_close, (dvdnav_t * self), (self))
KOLVARIN_LAZY_FORWARD(libdvdnav, dvdnav_status_t, dvdnav_current_title_info,
                      (dvdnav_t * self, int32_t* title, int32_t* part), (self, title, part))
KOLVARIN_LAZY_FORWARD(libdvdnav, uint32_t, dvdnav_describe_title_chapters,
                      (dvdnav_t * self, int32_t title, uint64_t** times, uint64_t* duration),
                      (self, title, times, duration))
KOLVARIN_LAZY_FORWARD(libdvdnav, int8_t, dvdnav_get_active_spu_stream, (dvdnav_t * self), (self))
KOLVARIN_LAZY_FORWARD(libdvdnav, dvdnav_status_t, dvdnav_get_angle_info,
                      (dvdnav_t * self, int32_t* current_angle, int32_t* number_of_angles),
                      (self, current_angle, number_of_angles))
KOLVARIN_LAZY_FORWARD(libdvdnav, int8_t, dvdnav_get_audio_logical_stream, (dvdnav_t * self, uint8_t audio_num),
                      (self, audio_num))
KOLVARIN_LAZY_FORWARD(libdvdnav, dvdnav_status_t, dvdnav_get_current_highlight, (dvdnav_t * self, int32_t* button),
                      (self, button))
KOLVARIN_LAZY_FORWARD(libdvdnav, dsi_t*, dvdnav_get_current_nav_dsi, (dvdnav_t * self), (self))
KOLVARIN_LAZY_FORWARD(libdvdnav, pci_t*, dvdnav_get_current_nav_pci, (dvdnav_t * self), (self))
KOLVARIN_LAZY_FORWARD(libdvdnav, int64_t, dvdnav_get_current_time, (dvdnav_t * self), (self))
KOLVARIN_LAZY_FORWARD(libdvdnav, dvdnav_status_t, dvdnav_get_highlight_area,
                      (pci_t * nav_pci, int32_t button, int32_t mode, dvdnav_highlight_area_t* highlight),
                      (nav_pci, button, mode, highlight))
KOLVARIN_LAZY_FORWARD(libdvdnav, dvdnav_status_t, dvdnav_get_next_block,
                      (dvdnav_t * self, uint8_t* buf, int32_t* event, int32_t* len), (self, buf, event, len))
KOLVARIN_LAZY_FORWARD(libdvdnav, int8_t, dvdnav_get_spu_logical_stream, (dvdnav_t * self, uint8_t subp_num),
                      (self, subp_num))
KOLVARIN_LAZY_FORWARD(libdvdnav, dvdnav_status_t, dvdnav_go_up, (dvdnav_t * self), (self))
KOLVARIN_LAZY_FORWARD(libdvdnav, dvdnav_status_t, dvdnav_left_button_select, (dvdnav_t * self, pci_t* pci), (self, pci))
KOLVARIN_LAZY_FORWARD(libdvdnav, dvdnav_status_t, dvdnav_lower_button_select, (dvdnav_t * self, pci_t* pci),
                      (self, pci))
KOLVARIN_LAZY_FORWARD(libdvdnav, dvdnav_status_t, dvdnav_menu_call, (dvdnav_t * self, DVDMenuID_t menu), (self, menu))
KOLVARIN_LAZY_FORWARD(libdvdnav, dvdnav_status_t, dvdnav_mouse_activate,
                      (dvdnav_t * self, pci_t* pci, int32_t x, int32_t y), (self, pci, x, y))
KOLVARIN_LAZY_FORWARD(libdvdnav, dvdnav_status_t, dvdnav_mouse_select,
                      (dvdnav_t * self, pci_t* pci, int32_t x, int32_t y), (self, pci, x, y))
KOLVARIN_LAZY_FORWARD(libdvdnav, dvdnav_status_t, dvdnav_next_pg_search, (dvdnav_t * self), (self))
KOLVARIN_LAZY_FORWARD(libdvdnav, dvdnav_status_t, dvdnav_open2,
                      (dvdnav_t * *dest, void* priv, const dvdnav_logger_cb* logger, const char* path),
                      (dest, priv, logger, path))
KOLVARIN_LAZY_FORWARD(libdvdnav, dvdnav_status_t, dvdnav_part_play, (dvdnav_t * self, int32_t title, int32_t part),
                      (self, title, part))
KOLVARIN_LAZY_FORWARD(libdvdnav, dvdnav_status_t, dvdnav_prev_pg_search, (dvdnav_t * self), (self))
KOLVARIN_LAZY_FORWARD(libdvdnav, dvdnav_status_t, dvdnav_right_button_select, (dvdnav_t * self, pci_t* pci),
                      (self, pci))
KOLVARIN_LAZY_FORWARD(libdvdnav, dvdnav_status_t, dvdnav_set_PGC_positioning_flag,
                      (dvdnav_t * self, int32_t pgc_based_flag), (self, pgc_based_flag))
KOLVARIN_LAZY_FORWARD(libdvdnav, dvdnav_status_t, dvdnav_set_readahead_flag, (dvdnav_t * self, int32_t read_ahead_flag),
                      (self, read_ahead_flag))
KOLVARIN_LAZY_FORWARD(libdvdnav, dvdnav_status_t, dvdnav_still_skip, (dvdnav_t * self), (self))
KOLVARIN_LAZY_FORWARD(libdvdnav, dvdnav_status_t, dvdnav_time_search, (dvdnav_t * self, uint64_t time), (self, time))
KOLVARIN_LAZY_FORWARD(libdvdnav, dvdnav_status_t, dvdnav_title_play, (dvdnav_t * self, int32_t title), (self, title))
KOLVARIN_LAZY_FORWARD(libdvdnav, dvdnav_status_t, dvdnav_upper_button_select, (dvdnav_t * self, pci_t* pci),
                      (self, pci))
KOLVARIN_LAZY_FORWARD(libdvdnav, dvdnav_status_t, dvdnav_wait_skip, (dvdnav_t * self), (self))
KOLVARIN_LAZY_FORWARD(libdvdread, void, DVDClose, (dvd_reader_t * dvd), (dvd))
KOLVARIN_LAZY_FORWARD(libdvdread, dvd_reader_t*, DVDOpen2, (void* priv, const dvd_logger_cb* logger, const char* path),
                      (priv, logger, path))
KOLVARIN_LAZY_FORWARD(libdvdread, void, ifoClose, (ifo_handle_t * ifo), (ifo))
KOLVARIN_LAZY_FORWARD(libdvdread, ifo_handle_t*, ifoOpen, (dvd_reader_t * dvd, int title), (dvd, title))
