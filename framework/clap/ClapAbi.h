// The CLAP 1.2.10 binary interface, plug-in and host side, declared from its published layout facts.
#pragma once

#include <cstddef>
#include <cstdint>

// Windows hosts call every function pointer cdecl; elsewhere the platform default is the same thing.
#if defined(_WIN32)
#define CLAP_ABI __cdecl
#else
#define CLAP_ABI
#endif

extern "C" {

typedef uint32_t clap_id;
typedef int64_t clap_beattime;
typedef int64_t clap_sectime;
typedef int32_t clap_process_status;
typedef int32_t clap_log_severity;
typedef int32_t clap_plugin_render_mode;
typedef uint64_t clap_timestamp;
// The X11 XID type: 4 bytes on Win64 and 32-bit targets, so never uint64_t.
typedef unsigned long clap_xwnd;
typedef void* clap_hwnd;
typedef void* clap_nsview;
typedef void* clap_uiview;

struct clap_version_t {
  uint32_t major;
  uint32_t minor;
  uint32_t revision;
};

// ---- entry, factory, descriptor ----

struct clap_plugin_entry_t {
  clap_version_t clap_version;
  bool(CLAP_ABI* init)(const char* plugin_path);
  void(CLAP_ABI* deinit)(void);
  const void*(CLAP_ABI* get_factory)(const char* factory_id);
};

struct clap_plugin_descriptor_t {
  clap_version_t clap_version;
  const char* id;
  const char* name;
  const char* vendor;
  const char* url;
  const char* manual_url;
  const char* support_url;
  const char* version;
  const char* description;
  const char* const* features;  // ends with a null entry
};

struct clap_host_t;
struct clap_process_t;

struct clap_plugin_t {
  const clap_plugin_descriptor_t* desc;
  void* plugin_data;
  bool(CLAP_ABI* init)(const clap_plugin_t* plugin);
  void(CLAP_ABI* destroy)(const clap_plugin_t* plugin);
  bool(CLAP_ABI* activate)(const clap_plugin_t* plugin, double sample_rate, uint32_t min_frames_count,
                           uint32_t max_frames_count);
  void(CLAP_ABI* deactivate)(const clap_plugin_t* plugin);
  bool(CLAP_ABI* start_processing)(const clap_plugin_t* plugin);
  void(CLAP_ABI* stop_processing)(const clap_plugin_t* plugin);
  void(CLAP_ABI* reset)(const clap_plugin_t* plugin);
  clap_process_status(CLAP_ABI* process)(const clap_plugin_t* plugin, const clap_process_t* process);
  const void*(CLAP_ABI* get_extension)(const clap_plugin_t* plugin, const char* id);
  void(CLAP_ABI* on_main_thread)(const clap_plugin_t* plugin);
};

struct clap_host_t {
  clap_version_t clap_version;
  void* host_data;
  const char* name;
  const char* vendor;
  const char* url;
  const char* version;
  const void*(CLAP_ABI* get_extension)(const clap_host_t* host, const char* extension_id);
  void(CLAP_ABI* request_restart)(const clap_host_t* host);
  void(CLAP_ABI* request_process)(const clap_host_t* host);
  void(CLAP_ABI* request_callback)(const clap_host_t* host);
};

struct clap_plugin_factory_t {
  uint32_t(CLAP_ABI* get_plugin_count)(const clap_plugin_factory_t* factory);
  const clap_plugin_descriptor_t*(CLAP_ABI* get_plugin_descriptor)(const clap_plugin_factory_t* factory,
                                                                   uint32_t index);
  const clap_plugin_t*(CLAP_ABI* create_plugin)(const clap_plugin_factory_t* factory, const clap_host_t* host,
                                                const char* plugin_id);
};

// ---- events ----

struct clap_event_header_t {
  uint32_t size;  // of the whole event, as the sender compiled it
  uint32_t time;
  uint16_t space_id;
  uint16_t type;
  uint32_t flags;
};

struct clap_event_note_t {
  clap_event_header_t header;
  int32_t note_id;
  int16_t port_index;
  int16_t channel;
  int16_t key;
  double velocity;
};

struct clap_event_note_expression_t {
  clap_event_header_t header;
  int32_t expression_id;
  int32_t note_id;
  int16_t port_index;
  int16_t channel;
  int16_t key;
  double value;
};

struct clap_event_param_value_t {
  clap_event_header_t header;
  clap_id param_id;
  void* cookie;
  int32_t note_id;
  int16_t port_index;
  int16_t channel;
  int16_t key;
  double value;
};

struct clap_event_param_mod_t {
  clap_event_header_t header;
  clap_id param_id;
  void* cookie;
  int32_t note_id;
  int16_t port_index;
  int16_t channel;
  int16_t key;
  double amount;
};

struct clap_event_param_gesture_t {
  clap_event_header_t header;
  clap_id param_id;
};

struct clap_event_transport_t {
  clap_event_header_t header;
  uint32_t flags;
  clap_beattime song_pos_beats;
  clap_sectime song_pos_seconds;
  double tempo;
  double tempo_inc;
  clap_beattime loop_start_beats;
  clap_beattime loop_end_beats;
  clap_sectime loop_start_seconds;
  clap_sectime loop_end_seconds;
  clap_beattime bar_start;
  int32_t bar_number;
  uint16_t tsig_num;
  uint16_t tsig_denom;
};

struct clap_event_midi_t {
  clap_event_header_t header;
  uint16_t port_index;
  uint8_t data[3];
};

struct clap_event_midi_sysex_t {
  clap_event_header_t header;
  uint16_t port_index;
  const uint8_t* buffer;  // valid only during the call that carries it
  uint32_t size;
};

struct clap_event_midi2_t {
  clap_event_header_t header;
  uint16_t port_index;
  uint32_t data[4];
};

struct clap_input_events_t {
  void* ctx;
  uint32_t(CLAP_ABI* size)(const clap_input_events_t* list);
  const clap_event_header_t*(CLAP_ABI* get)(const clap_input_events_t* list, uint32_t index);
};

struct clap_output_events_t {
  void* ctx;
  bool(CLAP_ABI* try_push)(const clap_output_events_t* list, const clap_event_header_t* event);
};

// ---- processing ----

struct clap_audio_buffer_t {
  float** data32;
  double** data64;
  uint32_t channel_count;
  uint32_t latency;
  uint64_t constant_mask;
};

struct clap_process_t {
  int64_t steady_time;
  uint32_t frames_count;
  const clap_event_transport_t* transport;
  const clap_audio_buffer_t* audio_inputs;
  clap_audio_buffer_t* audio_outputs;
  uint32_t audio_inputs_count;
  uint32_t audio_outputs_count;
  const clap_input_events_t* in_events;
  const clap_output_events_t* out_events;
};

// ---- note ports ----

struct clap_note_port_info_t {
  clap_id id;
  uint32_t supported_dialects;
  uint32_t preferred_dialect;
  char name[256];
};

struct clap_plugin_note_ports_t {
  uint32_t(CLAP_ABI* count)(const clap_plugin_t* plugin, bool is_input);
  bool(CLAP_ABI* get)(const clap_plugin_t* plugin, uint32_t index, bool is_input, clap_note_port_info_t* info);
};

struct clap_host_note_ports_t {
  uint32_t(CLAP_ABI* supported_dialects)(const clap_host_t* host);
  void(CLAP_ABI* rescan)(const clap_host_t* host, uint32_t flags);
};

// ---- parameters ----

struct clap_param_info_t {
  clap_id id;
  uint32_t flags;
  void* cookie;
  char name[256];
  char module[1024];
  double min_value;
  double max_value;
  double default_value;
};

struct clap_plugin_params_t {
  uint32_t(CLAP_ABI* count)(const clap_plugin_t* plugin);
  bool(CLAP_ABI* get_info)(const clap_plugin_t* plugin, uint32_t param_index, clap_param_info_t* param_info);
  bool(CLAP_ABI* get_value)(const clap_plugin_t* plugin, clap_id param_id, double* out_value);
  bool(CLAP_ABI* value_to_text)(const clap_plugin_t* plugin, clap_id param_id, double value, char* out_buffer,
                                uint32_t out_buffer_capacity);
  bool(CLAP_ABI* text_to_value)(const clap_plugin_t* plugin, clap_id param_id, const char* param_value_text,
                                double* out_value);
  void(CLAP_ABI* flush)(const clap_plugin_t* plugin, const clap_input_events_t* in, const clap_output_events_t* out);
};

struct clap_host_params_t {
  void(CLAP_ABI* rescan)(const clap_host_t* host, uint32_t flags);
  void(CLAP_ABI* clear)(const clap_host_t* host, clap_id param_id, uint32_t flags);
  void(CLAP_ABI* request_flush)(const clap_host_t* host);
};

// ---- state ----

struct clap_istream_t {
  void* ctx;
  // Bytes read, 0 at the end, -1 on error; may read fewer than asked.
  int64_t(CLAP_ABI* read)(const clap_istream_t* stream, void* buffer, uint64_t size);
};

struct clap_ostream_t {
  void* ctx;
  int64_t(CLAP_ABI* write)(const clap_ostream_t* stream, const void* buffer, uint64_t size);
};

struct clap_plugin_state_t {
  bool(CLAP_ABI* save)(const clap_plugin_t* plugin, const clap_ostream_t* stream);
  bool(CLAP_ABI* load)(const clap_plugin_t* plugin, const clap_istream_t* stream);
};

struct clap_host_state_t {
  void(CLAP_ABI* mark_dirty)(const clap_host_t* host);
};

// ---- gui, timers, file descriptors ----

struct clap_window_t {
  const char* api;
  union {
    clap_nsview cocoa;
    clap_uiview uikit;
    clap_xwnd x11;
    clap_hwnd win32;
    void* ptr;
  };
};

struct clap_gui_resize_hints_t {
  bool can_resize_horizontally;
  bool can_resize_vertically;
  bool preserve_aspect_ratio;
  uint32_t aspect_ratio_width;
  uint32_t aspect_ratio_height;
};

struct clap_plugin_gui_t {
  bool(CLAP_ABI* is_api_supported)(const clap_plugin_t* plugin, const char* api, bool is_floating);
  bool(CLAP_ABI* get_preferred_api)(const clap_plugin_t* plugin, const char** api, bool* is_floating);
  bool(CLAP_ABI* create)(const clap_plugin_t* plugin, const char* api, bool is_floating);
  void(CLAP_ABI* destroy)(const clap_plugin_t* plugin);
  bool(CLAP_ABI* set_scale)(const clap_plugin_t* plugin, double scale);
  bool(CLAP_ABI* get_size)(const clap_plugin_t* plugin, uint32_t* width, uint32_t* height);
  bool(CLAP_ABI* can_resize)(const clap_plugin_t* plugin);
  bool(CLAP_ABI* get_resize_hints)(const clap_plugin_t* plugin, clap_gui_resize_hints_t* hints);
  bool(CLAP_ABI* adjust_size)(const clap_plugin_t* plugin, uint32_t* width, uint32_t* height);
  bool(CLAP_ABI* set_size)(const clap_plugin_t* plugin, uint32_t width, uint32_t height);
  bool(CLAP_ABI* set_parent)(const clap_plugin_t* plugin, const clap_window_t* window);
  bool(CLAP_ABI* set_transient)(const clap_plugin_t* plugin, const clap_window_t* window);
  void(CLAP_ABI* suggest_title)(const clap_plugin_t* plugin, const char* title);
  bool(CLAP_ABI* show)(const clap_plugin_t* plugin);
  bool(CLAP_ABI* hide)(const clap_plugin_t* plugin);
};

struct clap_host_gui_t {
  void(CLAP_ABI* resize_hints_changed)(const clap_host_t* host);
  bool(CLAP_ABI* request_resize)(const clap_host_t* host, uint32_t width, uint32_t height);
  bool(CLAP_ABI* request_show)(const clap_host_t* host);
  bool(CLAP_ABI* request_hide)(const clap_host_t* host);
  void(CLAP_ABI* closed)(const clap_host_t* host, bool was_destroyed);
};

struct clap_plugin_timer_support_t {
  void(CLAP_ABI* on_timer)(const clap_plugin_t* plugin, clap_id timer_id);
};

struct clap_host_timer_support_t {
  bool(CLAP_ABI* register_timer)(const clap_host_t* host, uint32_t period_ms, clap_id* timer_id);
  bool(CLAP_ABI* unregister_timer)(const clap_host_t* host, clap_id timer_id);
};

struct clap_plugin_posix_fd_support_t {
  void(CLAP_ABI* on_fd)(const clap_plugin_t* plugin, int fd, uint32_t flags);
};

struct clap_host_posix_fd_support_t {
  bool(CLAP_ABI* register_fd)(const clap_host_t* host, int fd, uint32_t flags);
  bool(CLAP_ABI* modify_fd)(const clap_host_t* host, int fd, uint32_t flags);
  bool(CLAP_ABI* unregister_fd)(const clap_host_t* host, int fd);
};

// ---- thread check, log, render ----

struct clap_host_thread_check_t {
  bool(CLAP_ABI* is_main_thread)(const clap_host_t* host);
  bool(CLAP_ABI* is_audio_thread)(const clap_host_t* host);
};

struct clap_host_log_t {
  void(CLAP_ABI* log)(const clap_host_t* host, clap_log_severity severity, const char* msg);
};

struct clap_plugin_render_t {
  bool(CLAP_ABI* has_hard_realtime_requirement)(const clap_plugin_t* plugin);
  bool(CLAP_ABI* set)(const clap_plugin_t* plugin, clap_plugin_render_mode mode);
};

// ---- presets ----

struct clap_plugin_preset_load_t {
  bool(CLAP_ABI* from_location)(const clap_plugin_t* plugin, uint32_t location_kind, const char* location,
                                const char* load_key);
};

struct clap_host_preset_load_t {
  void(CLAP_ABI* on_error)(const clap_host_t* host, uint32_t location_kind, const char* location,
                           const char* load_key, int32_t os_error, const char* msg);
  void(CLAP_ABI* loaded)(const clap_host_t* host, uint32_t location_kind, const char* location,
                         const char* load_key);
};

struct clap_universal_plugin_id_t {
  const char* abi;
  const char* id;
};

struct clap_preset_discovery_location_t {
  uint32_t flags;
  const char* name;
  uint32_t kind;
  const char* location;
};

struct clap_preset_discovery_filetype_t {
  const char* name;
  const char* description;
  const char* file_extension;
};

// Sound packs are not used here; only pointers to it pass through.
struct clap_preset_discovery_soundpack_t;

struct clap_preset_discovery_metadata_receiver_t {
  void* receiver_data;
  void(CLAP_ABI* on_error)(const clap_preset_discovery_metadata_receiver_t* receiver, int32_t os_error,
                           const char* error_message);
  bool(CLAP_ABI* begin_preset)(const clap_preset_discovery_metadata_receiver_t* receiver, const char* name,
                               const char* load_key);
  void(CLAP_ABI* add_plugin_id)(const clap_preset_discovery_metadata_receiver_t* receiver,
                                const clap_universal_plugin_id_t* plugin_id);
  void(CLAP_ABI* set_soundpack_id)(const clap_preset_discovery_metadata_receiver_t* receiver,
                                   const char* soundpack_id);
  void(CLAP_ABI* set_flags)(const clap_preset_discovery_metadata_receiver_t* receiver, uint32_t flags);
  void(CLAP_ABI* add_creator)(const clap_preset_discovery_metadata_receiver_t* receiver, const char* creator);
  void(CLAP_ABI* set_description)(const clap_preset_discovery_metadata_receiver_t* receiver,
                                  const char* description);
  void(CLAP_ABI* set_timestamps)(const clap_preset_discovery_metadata_receiver_t* receiver,
                                 clap_timestamp creation_time, clap_timestamp modification_time);
  void(CLAP_ABI* add_feature)(const clap_preset_discovery_metadata_receiver_t* receiver, const char* feature);
  void(CLAP_ABI* add_extra_info)(const clap_preset_discovery_metadata_receiver_t* receiver, const char* key,
                                 const char* value);
};

struct clap_preset_discovery_provider_descriptor_t {
  clap_version_t clap_version;
  const char* id;
  const char* name;
  const char* vendor;
};

struct clap_preset_discovery_indexer_t {
  clap_version_t clap_version;
  const char* name;
  const char* vendor;
  const char* url;
  const char* version;
  void* indexer_data;
  bool(CLAP_ABI* declare_filetype)(const clap_preset_discovery_indexer_t* indexer,
                                   const clap_preset_discovery_filetype_t* filetype);
  bool(CLAP_ABI* declare_location)(const clap_preset_discovery_indexer_t* indexer,
                                   const clap_preset_discovery_location_t* location);
  bool(CLAP_ABI* declare_soundpack)(const clap_preset_discovery_indexer_t* indexer,
                                    const clap_preset_discovery_soundpack_t* soundpack);
  const void*(CLAP_ABI* get_extension)(const clap_preset_discovery_indexer_t* indexer, const char* extension_id);
};

struct clap_preset_discovery_provider_t {
  const clap_preset_discovery_provider_descriptor_t* desc;
  void* provider_data;
  bool(CLAP_ABI* init)(const clap_preset_discovery_provider_t* provider);
  void(CLAP_ABI* destroy)(const clap_preset_discovery_provider_t* provider);
  bool(CLAP_ABI* get_metadata)(const clap_preset_discovery_provider_t* provider, uint32_t location_kind,
                               const char* location, const clap_preset_discovery_metadata_receiver_t* receiver);
  const void*(CLAP_ABI* get_extension)(const clap_preset_discovery_provider_t* provider, const char* extension_id);
};

struct clap_preset_discovery_factory_t {
  uint32_t(CLAP_ABI* count)(const clap_preset_discovery_factory_t* factory);
  const clap_preset_discovery_provider_descriptor_t*(CLAP_ABI* get_descriptor)(
      const clap_preset_discovery_factory_t* factory, uint32_t index);
  const clap_preset_discovery_provider_t*(CLAP_ABI* create)(const clap_preset_discovery_factory_t* factory,
                                                            const clap_preset_discovery_indexer_t* indexer,
                                                            const char* provider_id);
};

}  // extern "C"

// ---- constants ----

constexpr clap_version_t CLAP_VERSION = {1, 2, 10};
// 0.x were pre-releases; any 1.x peer works with any other.
constexpr bool clap_version_is_compatible(const clap_version_t& v) { return v.major >= 1; }

constexpr clap_id CLAP_INVALID_ID = UINT32_MAX;
constexpr uint32_t CLAP_NAME_SIZE = 256;
constexpr uint32_t CLAP_PATH_SIZE = 1024;
constexpr int64_t CLAP_BEATTIME_FACTOR = int64_t(1) << 31;
constexpr int64_t CLAP_SECTIME_FACTOR = int64_t(1) << 31;
constexpr clap_timestamp CLAP_TIMESTAMP_UNKNOWN = 0;

constexpr char CLAP_PLUGIN_FACTORY_ID[] = "clap.plugin-factory";
constexpr char CLAP_PRESET_DISCOVERY_FACTORY_ID[] = "clap.preset-discovery-factory/2";
constexpr char CLAP_PRESET_DISCOVERY_FACTORY_ID_COMPAT[] = "clap.preset-discovery-factory/draft-2";

constexpr char CLAP_EXT_NOTE_PORTS[] = "clap.note-ports";
constexpr char CLAP_EXT_PARAMS[] = "clap.params";
constexpr char CLAP_EXT_STATE[] = "clap.state";
constexpr char CLAP_EXT_GUI[] = "clap.gui";
constexpr char CLAP_EXT_TIMER_SUPPORT[] = "clap.timer-support";
constexpr char CLAP_EXT_POSIX_FD_SUPPORT[] = "clap.posix-fd-support";
constexpr char CLAP_EXT_THREAD_CHECK[] = "clap.thread-check";
constexpr char CLAP_EXT_LOG[] = "clap.log";
constexpr char CLAP_EXT_RENDER[] = "clap.render";
constexpr char CLAP_EXT_LATENCY[] = "clap.latency";
constexpr char CLAP_EXT_TAIL[] = "clap.tail";
constexpr char CLAP_EXT_AUDIO_PORTS[] = "clap.audio-ports";
constexpr char CLAP_EXT_EVENT_REGISTRY[] = "clap.event-registry";
constexpr char CLAP_EXT_PRESET_LOAD[] = "clap.preset-load/2";
constexpr char CLAP_EXT_PRESET_LOAD_COMPAT[] = "clap.preset-load.draft/2";

constexpr char CLAP_WINDOW_API_X11[] = "x11";
constexpr char CLAP_WINDOW_API_WIN32[] = "win32";
constexpr char CLAP_WINDOW_API_COCOA[] = "cocoa";
constexpr char CLAP_WINDOW_API_WAYLAND[] = "wayland";

constexpr clap_process_status CLAP_PROCESS_ERROR = 0;
constexpr clap_process_status CLAP_PROCESS_CONTINUE = 1;
constexpr clap_process_status CLAP_PROCESS_CONTINUE_IF_NOT_QUIET = 2;
constexpr clap_process_status CLAP_PROCESS_TAIL = 3;
constexpr clap_process_status CLAP_PROCESS_SLEEP = 4;

constexpr uint16_t CLAP_CORE_EVENT_SPACE_ID = 0;
constexpr uint32_t CLAP_EVENT_IS_LIVE = 1;
constexpr uint32_t CLAP_EVENT_DONT_RECORD = 2;
constexpr uint16_t CLAP_EVENT_NOTE_ON = 0;
constexpr uint16_t CLAP_EVENT_NOTE_OFF = 1;
constexpr uint16_t CLAP_EVENT_NOTE_CHOKE = 2;
constexpr uint16_t CLAP_EVENT_NOTE_END = 3;
constexpr uint16_t CLAP_EVENT_NOTE_EXPRESSION = 4;
constexpr uint16_t CLAP_EVENT_PARAM_VALUE = 5;
constexpr uint16_t CLAP_EVENT_PARAM_MOD = 6;
constexpr uint16_t CLAP_EVENT_PARAM_GESTURE_BEGIN = 7;
constexpr uint16_t CLAP_EVENT_PARAM_GESTURE_END = 8;
constexpr uint16_t CLAP_EVENT_TRANSPORT = 9;
constexpr uint16_t CLAP_EVENT_MIDI = 10;
constexpr uint16_t CLAP_EVENT_MIDI_SYSEX = 11;
constexpr uint16_t CLAP_EVENT_MIDI2 = 12;

constexpr int32_t CLAP_NOTE_EXPRESSION_VOLUME = 0;
constexpr int32_t CLAP_NOTE_EXPRESSION_PAN = 1;
constexpr int32_t CLAP_NOTE_EXPRESSION_TUNING = 2;
constexpr int32_t CLAP_NOTE_EXPRESSION_VIBRATO = 3;
constexpr int32_t CLAP_NOTE_EXPRESSION_EXPRESSION = 4;
constexpr int32_t CLAP_NOTE_EXPRESSION_BRIGHTNESS = 5;
constexpr int32_t CLAP_NOTE_EXPRESSION_PRESSURE = 6;

constexpr uint32_t CLAP_TRANSPORT_HAS_TEMPO = 1;
constexpr uint32_t CLAP_TRANSPORT_HAS_BEATS_TIMELINE = 2;
constexpr uint32_t CLAP_TRANSPORT_HAS_SECONDS_TIMELINE = 4;
constexpr uint32_t CLAP_TRANSPORT_HAS_TIME_SIGNATURE = 8;
constexpr uint32_t CLAP_TRANSPORT_IS_PLAYING = 16;
constexpr uint32_t CLAP_TRANSPORT_IS_RECORDING = 32;
constexpr uint32_t CLAP_TRANSPORT_IS_LOOP_ACTIVE = 64;
constexpr uint32_t CLAP_TRANSPORT_IS_WITHIN_PRE_ROLL = 128;

constexpr uint32_t CLAP_NOTE_DIALECT_CLAP = 1;
constexpr uint32_t CLAP_NOTE_DIALECT_MIDI = 2;
constexpr uint32_t CLAP_NOTE_DIALECT_MIDI_MPE = 4;
constexpr uint32_t CLAP_NOTE_DIALECT_MIDI2 = 8;
constexpr uint32_t CLAP_NOTE_PORTS_RESCAN_ALL = 1;
constexpr uint32_t CLAP_NOTE_PORTS_RESCAN_NAMES = 2;

constexpr uint32_t CLAP_PARAM_IS_STEPPED = 0x1;
constexpr uint32_t CLAP_PARAM_IS_PERIODIC = 0x2;
constexpr uint32_t CLAP_PARAM_IS_HIDDEN = 0x4;
constexpr uint32_t CLAP_PARAM_IS_READONLY = 0x8;
constexpr uint32_t CLAP_PARAM_IS_BYPASS = 0x10;
constexpr uint32_t CLAP_PARAM_IS_AUTOMATABLE = 0x20;
constexpr uint32_t CLAP_PARAM_IS_AUTOMATABLE_PER_NOTE_ID = 0x40;
constexpr uint32_t CLAP_PARAM_IS_AUTOMATABLE_PER_KEY = 0x80;
constexpr uint32_t CLAP_PARAM_IS_AUTOMATABLE_PER_CHANNEL = 0x100;
constexpr uint32_t CLAP_PARAM_IS_AUTOMATABLE_PER_PORT = 0x200;
constexpr uint32_t CLAP_PARAM_IS_MODULATABLE = 0x400;
constexpr uint32_t CLAP_PARAM_IS_MODULATABLE_PER_NOTE_ID = 0x800;
constexpr uint32_t CLAP_PARAM_IS_MODULATABLE_PER_KEY = 0x1000;
constexpr uint32_t CLAP_PARAM_IS_MODULATABLE_PER_CHANNEL = 0x2000;
constexpr uint32_t CLAP_PARAM_IS_MODULATABLE_PER_PORT = 0x4000;
constexpr uint32_t CLAP_PARAM_REQUIRES_PROCESS = 0x8000;
constexpr uint32_t CLAP_PARAM_IS_ENUM = 0x10000;

constexpr uint32_t CLAP_PARAM_RESCAN_VALUES = 1;
constexpr uint32_t CLAP_PARAM_RESCAN_TEXT = 2;
constexpr uint32_t CLAP_PARAM_RESCAN_INFO = 4;
constexpr uint32_t CLAP_PARAM_RESCAN_ALL = 8;
constexpr uint32_t CLAP_PARAM_CLEAR_ALL = 1;
constexpr uint32_t CLAP_PARAM_CLEAR_AUTOMATIONS = 2;
constexpr uint32_t CLAP_PARAM_CLEAR_MODULATIONS = 4;

constexpr uint32_t CLAP_POSIX_FD_READ = 1;
constexpr uint32_t CLAP_POSIX_FD_WRITE = 2;
constexpr uint32_t CLAP_POSIX_FD_ERROR = 4;

constexpr clap_log_severity CLAP_LOG_DEBUG = 0;
constexpr clap_log_severity CLAP_LOG_INFO = 1;
constexpr clap_log_severity CLAP_LOG_WARNING = 2;
constexpr clap_log_severity CLAP_LOG_ERROR = 3;
constexpr clap_log_severity CLAP_LOG_FATAL = 4;
constexpr clap_log_severity CLAP_LOG_HOST_MISBEHAVING = 5;
constexpr clap_log_severity CLAP_LOG_PLUGIN_MISBEHAVING = 6;

constexpr clap_plugin_render_mode CLAP_RENDER_REALTIME = 0;
constexpr clap_plugin_render_mode CLAP_RENDER_OFFLINE = 1;

constexpr uint32_t CLAP_PRESET_DISCOVERY_LOCATION_FILE = 0;
constexpr uint32_t CLAP_PRESET_DISCOVERY_LOCATION_PLUGIN = 1;
constexpr uint32_t CLAP_PRESET_DISCOVERY_IS_FACTORY_CONTENT = 1;
constexpr uint32_t CLAP_PRESET_DISCOVERY_IS_USER_CONTENT = 2;
constexpr uint32_t CLAP_PRESET_DISCOVERY_IS_DEMO_CONTENT = 4;
constexpr uint32_t CLAP_PRESET_DISCOVERY_IS_FAVORITE = 8;

// ---- layout checks against the measured sizes and offsets ----

namespace clap_abi_layout {
constexpr bool kPointer32 = sizeof(void*) == 4;
#if defined(_WIN32)
constexpr bool kWindows = true;
#else
constexpr bool kWindows = false;
#endif
// The value measured on i686-Linux, on Win32, and on every 64-bit target.
constexpr size_t Pick(size_t lin32, size_t win32, size_t x64) {
  return kPointer32 ? (kWindows ? win32 : lin32) : x64;
}
constexpr size_t Ptr(size_t i686, size_t x64) { return Pick(i686, i686, x64); }
// Member k of a table of function pointers.
constexpr size_t Slot(size_t k) { return k * sizeof(void*); }

static_assert(sizeof(bool) == 1, "the interface passes bool as one byte");
static_assert(sizeof(clap_version_t) == 12 && alignof(clap_version_t) == 4, "clap_version_t");
static_assert(sizeof(clap_xwnd) == (kPointer32 || kWindows ? 4 : 8), "clap_xwnd is unsigned long");

static_assert(sizeof(clap_plugin_entry_t) == Ptr(24, 40), "clap_plugin_entry_t");
static_assert(offsetof(clap_plugin_entry_t, init) == Ptr(12, 16), "clap_plugin_entry_t::init");
static_assert(offsetof(clap_plugin_entry_t, deinit) == Ptr(16, 24), "clap_plugin_entry_t::deinit");
static_assert(offsetof(clap_plugin_entry_t, get_factory) == Ptr(20, 32), "clap_plugin_entry_t::get_factory");
static_assert(sizeof(clap_plugin_factory_t) == Ptr(12, 24), "clap_plugin_factory_t");
static_assert(offsetof(clap_plugin_factory_t, create_plugin) == Slot(2), "clap_plugin_factory_t::create_plugin");
static_assert(sizeof(clap_plugin_descriptor_t) == Ptr(48, 88), "clap_plugin_descriptor_t");
static_assert(offsetof(clap_plugin_descriptor_t, id) == Ptr(12, 16), "clap_plugin_descriptor_t::id");
static_assert(offsetof(clap_plugin_descriptor_t, version) == Ptr(36, 64), "clap_plugin_descriptor_t::version");
static_assert(offsetof(clap_plugin_descriptor_t, features) == Ptr(44, 80), "clap_plugin_descriptor_t::features");

static_assert(sizeof(clap_plugin_t) == Ptr(48, 96), "clap_plugin_t");
static_assert(offsetof(clap_plugin_t, init) == Ptr(8, 16), "clap_plugin_t::init");
static_assert(offsetof(clap_plugin_t, process) == Ptr(36, 72), "clap_plugin_t::process");
static_assert(offsetof(clap_plugin_t, on_main_thread) == Ptr(44, 88), "clap_plugin_t::on_main_thread");
static_assert(sizeof(clap_host_t) == Ptr(48, 88), "clap_host_t");
static_assert(offsetof(clap_host_t, host_data) == Ptr(12, 16), "clap_host_t::host_data");
static_assert(offsetof(clap_host_t, version) == Ptr(28, 48), "clap_host_t::version");
static_assert(offsetof(clap_host_t, get_extension) == Ptr(32, 56), "clap_host_t::get_extension");
static_assert(offsetof(clap_host_t, request_callback) == Ptr(44, 80), "clap_host_t::request_callback");

static_assert(sizeof(clap_process_t) == Ptr(40, 64), "clap_process_t");
static_assert(alignof(clap_process_t) == Pick(4, 8, 8), "clap_process_t alignment");
static_assert(offsetof(clap_process_t, frames_count) == 8, "clap_process_t::frames_count");
static_assert(offsetof(clap_process_t, transport) == Ptr(12, 16), "clap_process_t::transport");
static_assert(offsetof(clap_process_t, audio_inputs_count) == Ptr(24, 40), "clap_process_t::audio_inputs_count");
static_assert(offsetof(clap_process_t, in_events) == Ptr(32, 48), "clap_process_t::in_events");
static_assert(offsetof(clap_process_t, out_events) == Ptr(36, 56), "clap_process_t::out_events");
static_assert(sizeof(clap_audio_buffer_t) == Pick(24, 24, 32), "clap_audio_buffer_t");
static_assert(offsetof(clap_audio_buffer_t, channel_count) == Ptr(8, 16), "clap_audio_buffer_t::channel_count");
static_assert(offsetof(clap_audio_buffer_t, constant_mask) == Ptr(16, 24), "clap_audio_buffer_t::constant_mask");

static_assert(sizeof(clap_event_header_t) == 16 && alignof(clap_event_header_t) == 4, "clap_event_header_t");
static_assert(offsetof(clap_event_header_t, space_id) == 8 && offsetof(clap_event_header_t, type) == 10 &&
                  offsetof(clap_event_header_t, flags) == 12,
              "clap_event_header_t fields");
static_assert(sizeof(clap_event_note_t) == Pick(36, 40, 40), "clap_event_note_t");
static_assert(offsetof(clap_event_note_t, key) == 24, "clap_event_note_t::key");
static_assert(offsetof(clap_event_note_t, velocity) == Pick(28, 32, 32), "clap_event_note_t::velocity");
static_assert(sizeof(clap_event_note_expression_t) == 40, "clap_event_note_expression_t");
static_assert(offsetof(clap_event_note_expression_t, value) == 32, "clap_event_note_expression_t::value");
static_assert(sizeof(clap_event_param_value_t) == Pick(44, 48, 56), "clap_event_param_value_t");
static_assert(offsetof(clap_event_param_value_t, cookie) == Ptr(20, 24), "clap_event_param_value_t::cookie");
static_assert(offsetof(clap_event_param_value_t, note_id) == Ptr(24, 32), "clap_event_param_value_t::note_id");
static_assert(offsetof(clap_event_param_value_t, key) == Ptr(32, 40), "clap_event_param_value_t::key");
static_assert(offsetof(clap_event_param_value_t, value) == Pick(36, 40, 48), "clap_event_param_value_t::value");
static_assert(sizeof(clap_event_param_mod_t) == Pick(44, 48, 56), "clap_event_param_mod_t");
static_assert(offsetof(clap_event_param_mod_t, amount) == Pick(36, 40, 48), "clap_event_param_mod_t::amount");
static_assert(sizeof(clap_event_param_gesture_t) == 20, "clap_event_param_gesture_t");
static_assert(sizeof(clap_event_transport_t) == Pick(100, 104, 104), "clap_event_transport_t");
static_assert(offsetof(clap_event_transport_t, song_pos_beats) == Pick(20, 24, 24), "transport::song_pos_beats");
static_assert(offsetof(clap_event_transport_t, tempo) == Pick(36, 40, 40), "transport::tempo");
static_assert(offsetof(clap_event_transport_t, loop_end_seconds) == Pick(76, 80, 80), "transport::loop_end_seconds");
static_assert(offsetof(clap_event_transport_t, bar_start) == Pick(84, 88, 88), "transport::bar_start");
static_assert(offsetof(clap_event_transport_t, bar_number) == Pick(92, 96, 96), "transport::bar_number");
static_assert(offsetof(clap_event_transport_t, tsig_denom) == Pick(98, 102, 102), "transport::tsig_denom");
static_assert(sizeof(clap_event_midi_t) == 24 && offsetof(clap_event_midi_t, data) == 18, "clap_event_midi_t");
static_assert(sizeof(clap_event_midi_sysex_t) == Ptr(28, 40), "clap_event_midi_sysex_t");
static_assert(offsetof(clap_event_midi_sysex_t, buffer) == Ptr(20, 24), "clap_event_midi_sysex_t::buffer");
static_assert(offsetof(clap_event_midi_sysex_t, size) == Ptr(24, 32), "clap_event_midi_sysex_t::size");
static_assert(sizeof(clap_event_midi2_t) == 36 && offsetof(clap_event_midi2_t, data) == 20, "clap_event_midi2_t");
static_assert(sizeof(clap_input_events_t) == Ptr(12, 24), "clap_input_events_t");
static_assert(offsetof(clap_input_events_t, get) == Ptr(8, 16), "clap_input_events_t::get");
static_assert(sizeof(clap_output_events_t) == Ptr(8, 16), "clap_output_events_t");

static_assert(sizeof(clap_note_port_info_t) == 268 && offsetof(clap_note_port_info_t, name) == 12,
              "clap_note_port_info_t");
static_assert(sizeof(clap_plugin_note_ports_t) == Ptr(8, 16) && sizeof(clap_host_note_ports_t) == Ptr(8, 16),
              "note ports tables");
static_assert(sizeof(clap_param_info_t) == Pick(1316, 1320, 1320), "clap_param_info_t");
static_assert(offsetof(clap_param_info_t, cookie) == 8, "clap_param_info_t::cookie");
static_assert(offsetof(clap_param_info_t, name) == Ptr(12, 16), "clap_param_info_t::name");
static_assert(offsetof(clap_param_info_t, module) == Ptr(268, 272), "clap_param_info_t::module");
static_assert(offsetof(clap_param_info_t, min_value) == Pick(1292, 1296, 1296), "clap_param_info_t::min_value");
static_assert(offsetof(clap_param_info_t, max_value) == Pick(1300, 1304, 1304), "clap_param_info_t::max_value");
static_assert(offsetof(clap_param_info_t, default_value) == Pick(1308, 1312, 1312),
              "clap_param_info_t::default_value");
static_assert(sizeof(clap_plugin_params_t) == Ptr(24, 48), "clap_plugin_params_t");
static_assert(offsetof(clap_plugin_params_t, flush) == Slot(5), "clap_plugin_params_t::flush");
static_assert(sizeof(clap_host_params_t) == Ptr(12, 24), "clap_host_params_t");

static_assert(sizeof(clap_istream_t) == Ptr(8, 16) && offsetof(clap_istream_t, read) == Ptr(4, 8), "clap_istream_t");
static_assert(sizeof(clap_ostream_t) == Ptr(8, 16) && offsetof(clap_ostream_t, write) == Ptr(4, 8), "clap_ostream_t");
static_assert(sizeof(clap_plugin_state_t) == Ptr(8, 16) && sizeof(clap_host_state_t) == Ptr(4, 8), "state tables");

static_assert(sizeof(clap_window_t) == Ptr(8, 16) && offsetof(clap_window_t, x11) == Ptr(4, 8), "clap_window_t");
static_assert(sizeof(clap_gui_resize_hints_t) == 12 && offsetof(clap_gui_resize_hints_t, aspect_ratio_width) == 4 &&
                  offsetof(clap_gui_resize_hints_t, aspect_ratio_height) == 8,
              "clap_gui_resize_hints_t");
static_assert(sizeof(clap_plugin_gui_t) == Ptr(60, 120), "clap_plugin_gui_t");
static_assert(offsetof(clap_plugin_gui_t, set_parent) == Slot(10), "clap_plugin_gui_t::set_parent");
static_assert(offsetof(clap_plugin_gui_t, hide) == Slot(14), "clap_plugin_gui_t::hide");
static_assert(sizeof(clap_host_gui_t) == Ptr(20, 40), "clap_host_gui_t");
static_assert(sizeof(clap_plugin_timer_support_t) == Ptr(4, 8) && sizeof(clap_host_timer_support_t) == Ptr(8, 16),
              "timer tables");
static_assert(sizeof(clap_plugin_posix_fd_support_t) == Ptr(4, 8) &&
                  sizeof(clap_host_posix_fd_support_t) == Ptr(12, 24),
              "fd tables");
static_assert(sizeof(clap_host_thread_check_t) == Ptr(8, 16) && sizeof(clap_host_log_t) == Ptr(4, 8),
              "thread-check and log tables");
static_assert(sizeof(clap_plugin_render_t) == Ptr(8, 16), "clap_plugin_render_t");

static_assert(sizeof(clap_plugin_preset_load_t) == Ptr(4, 8) && sizeof(clap_host_preset_load_t) == Ptr(8, 16),
              "preset-load tables");
static_assert(sizeof(clap_universal_plugin_id_t) == Ptr(8, 16), "clap_universal_plugin_id_t");
static_assert(sizeof(clap_preset_discovery_location_t) == Ptr(16, 32), "clap_preset_discovery_location_t");
static_assert(offsetof(clap_preset_discovery_location_t, kind) == Ptr(8, 16) &&
                  offsetof(clap_preset_discovery_location_t, location) == Ptr(12, 24),
              "clap_preset_discovery_location_t fields");
static_assert(sizeof(clap_preset_discovery_filetype_t) == Ptr(12, 24), "clap_preset_discovery_filetype_t");
static_assert(sizeof(clap_preset_discovery_metadata_receiver_t) == Ptr(44, 88),
              "clap_preset_discovery_metadata_receiver_t");
static_assert(offsetof(clap_preset_discovery_metadata_receiver_t, add_extra_info) == Slot(10),
              "clap_preset_discovery_metadata_receiver_t::add_extra_info");
static_assert(sizeof(clap_preset_discovery_provider_descriptor_t) == Ptr(24, 40),
              "clap_preset_discovery_provider_descriptor_t");
static_assert(offsetof(clap_preset_discovery_provider_descriptor_t, vendor) == Ptr(20, 32),
              "clap_preset_discovery_provider_descriptor_t::vendor");
static_assert(sizeof(clap_preset_discovery_provider_t) == Ptr(24, 48), "clap_preset_discovery_provider_t");
static_assert(offsetof(clap_preset_discovery_provider_t, get_metadata) == Ptr(16, 32),
              "clap_preset_discovery_provider_t::get_metadata");
static_assert(sizeof(clap_preset_discovery_indexer_t) == Ptr(48, 88), "clap_preset_discovery_indexer_t");
static_assert(offsetof(clap_preset_discovery_indexer_t, indexer_data) == Ptr(28, 48) &&
                  offsetof(clap_preset_discovery_indexer_t, get_extension) == Ptr(44, 80),
              "clap_preset_discovery_indexer_t fields");
static_assert(sizeof(clap_preset_discovery_factory_t) == Ptr(12, 24), "clap_preset_discovery_factory_t");

static_assert(CLAP_EVENT_MIDI2 == 12 && CLAP_PARAM_IS_ENUM == 0x10000 && CLAP_TRANSPORT_IS_WITHIN_PRE_ROLL == 128 &&
                  CLAP_NOTE_DIALECT_MIDI2 == 8 && CLAP_BEATTIME_FACTOR == 1LL << 31,
              "constants");
}  // namespace clap_abi_layout
