// libcdio and its paranoia reader, for music CDs.
#include <cdio/cdio.h>
#include <cdio/logging.h>
#include <cdio/paranoia/cdda.h>
#include <cdio/paranoia/paranoia.h>

#include "lazyload/lazyload.h"

namespace {
kolvarin::lazyload::TLazyLibrary libcdio{KOLVARIN_SONAME_cdio};
kolvarin::lazyload::TLazyLibrary libcdda{KOLVARIN_SONAME_cdio_cdda};
kolvarin::lazyload::TLazyLibrary libparanoia{KOLVARIN_SONAME_cdio_paranoia};
} // namespace

KOLVARIN_LAZY_FORWARD(libcdio, void, cdio_destroy, (CdIo_t * p_cdio), (p_cdio))
KOLVARIN_LAZY_FORWARD(libcdio, void, cdio_free_device_list, (char** device_list), (device_list))
KOLVARIN_LAZY_FORWARD(libcdio, char**, cdio_get_devices, (driver_id_t driver_id), (driver_id))
KOLVARIN_LAZY_FORWARD(libcdio, track_t, cdio_get_first_track_num, (const CdIo_t* p_cdio), (p_cdio))
KOLVARIN_LAZY_FORWARD(libcdio, track_t, cdio_get_num_tracks, (const CdIo_t* p_cdio), (p_cdio))
KOLVARIN_LAZY_FORWARD(libcdio, track_format_t, cdio_get_track_format, (const CdIo_t* p_cdio, track_t i_track),
                      (p_cdio, i_track))
KOLVARIN_LAZY_FORWARD(libcdio, lsn_t, cdio_get_track_lsn, (const CdIo_t* p_cdio, track_t i_track), (p_cdio, i_track))
KOLVARIN_LAZY_FORWARD(libcdio, unsigned int, cdio_get_track_sec_count, (const CdIo_t* p_cdio, track_t i_track),
                      (p_cdio, i_track))
KOLVARIN_LAZY_FORWARD(libcdio, cdio_log_handler_t, cdio_log_set_handler, (cdio_log_handler_t handler), (handler))
KOLVARIN_LAZY_FORWARD(libcdio, CdIo_t*, cdio_open, (const char* psz_source, driver_id_t driver_id),
                      (psz_source, driver_id))
KOLVARIN_LAZY_FORWARD(libcdda, bool, cdio_cddap_close_no_free_cdio, (cdrom_drive_t * d), (d))
KOLVARIN_LAZY_FORWARD(libcdda, cdrom_drive_t*, cdio_cddap_identify_cdio,
                      (CdIo_t * p_cdio, int messagedest, char** ppsz_messages), (p_cdio, messagedest, ppsz_messages))
KOLVARIN_LAZY_FORWARD(libcdda, int, cdio_cddap_open, (cdrom_drive_t * d), (d))
KOLVARIN_LAZY_FORWARD(libparanoia, void, cdio_paranoia_free, (cdrom_paranoia_t * p), (p))
KOLVARIN_LAZY_FORWARD(libparanoia, cdrom_paranoia_t*, cdio_paranoia_init, (cdrom_drive_t * d), (d))
KOLVARIN_LAZY_FORWARD(libparanoia, void, cdio_paranoia_modeset, (cdrom_paranoia_t * p, int mode_flags), (p, mode_flags))
KOLVARIN_LAZY_FORWARD(libparanoia, int16_t*, cdio_paranoia_read,
                      (cdrom_paranoia_t * p, void (*callback)(long, paranoia_cb_mode_t)), (p, callback))
KOLVARIN_LAZY_FORWARD(libparanoia, lsn_t, cdio_paranoia_seek, (cdrom_paranoia_t * p, int32_t seek, int whence),
                      (p, seek, whence))
