/// \file
/// enumLxiErrorLogId and CLxiErrorLogIds: the catalogue of every error text of
/// the stack. An id is the index of its text; ids and texts are shared with
/// every module built against this library, so neither may change or move.
///
/// Each text is a format for vswprintf (reached through CStr::Format). The
/// note on each id lists the arguments its text takes, in order; a CStr goes
/// to a wchar_t* argument as the data of its CStrW copy.
///
///     CErrorHandler::LogMsg(L"Net.cpp", 42, false, LXI_ERR_SOCKET_SEND_FAILED, errno);
///     CLxiErrorLogIds::GetFormatString(LXI_ERR_SET_CURRENT_DIRECTORY_FAILED);
///                                            // L"SetCurrentDirectory: failed!"
#ifndef LXIBASE_LXIERRORLOGIDS_H
#define LXIBASE_LXIERRORLOGIDS_H

#include "LxiBaseExport.h"

/// The error ids, 0 to 154: the index of each text in the catalogue.
enum enumLxiErrorLogId : unsigned int
{
    LXI_ERR_VENDOR_MESSAGE = 0,                          ///< wchar_t*
    LXI_ERR_PUSH_BACK_NO_FREE_SPACE = 1,                 ///< wchar_t*, int, int
    LXI_ERR_PUSH_BACK_CAPACITY_REACHED = 2,              ///< wchar_t*, int, int
    LXI_ERR_PUSH_BACK_CAPACITY_REACHED_2 = 3,            ///< wchar_t*, int, int
    LXI_ERR_GET_AT_INDEX_OUT_OF_RANGE = 4,               ///< wchar_t*, int, int, int
    LXI_ERR_GET_AT_INDEX_OUT_OF_RANGE_2 = 5,             ///< wchar_t*, int, int, int
    LXI_ERR_LAN_EVENT_USER_DATA_ALLOC_FAILED = 6,        ///< no arguments
    LXI_ERR_FILE_OPEN_UTF16_BOM_NOT_WRITTEN = 7,         ///< wchar_t*
    LXI_ERR_FILE_OPEN_UTF16_MODE_NOT_IMPLEMENTED = 8,    ///< char*
    LXI_ERR_FILE_OPEN_UTF8_BOM_NOT_WRITTEN = 9,          ///< wchar_t*
    LXI_ERR_FILE_OPEN_UTF8_MODE_NOT_IMPLEMENTED = 10,    ///< char*
    LXI_ERR_UNLOCK_MUTEX_NOT_LOCKED = 11,                ///< no arguments
    LXI_ERR_SOCKET_SET_BLOCKING_MODE_FAILED = 12,        ///< int
    LXI_ERR_SOCKET_SET_NO_DELAY_FAILED = 13,             ///< int
    LXI_ERR_SOCKET_WSA_STARTUP_FAILED = 14,              ///< int
    LXI_ERR_SOCKET_FCNTL_CLOEXEC_FAILED = 15,            ///< int
    LXI_ERR_SOCKET_ASSIGN_PORT_FAILED = 16,              ///< int, int
    LXI_ERR_SOCKET_LISTEN_FAILED = 17,                   ///< int
    LXI_ERR_SOCKET_ACCEPT_FAILED = 18,                   ///< int
    LXI_ERR_SOCKET_CONNECT_FAILED = 19,                  ///< wchar_t*, int, int
    LXI_ERR_SOCKET_MULTICAST_ADDRESS_FAILED = 20,        ///< wchar_t*
    LXI_ERR_SOCKET_SEND_FAILED = 21,                     ///< int
    LXI_ERR_SOCKET_SENDTO_FAILED = 22,                   ///< int
    LXI_ERR_SOCKET_RECV_FAILED = 23,                     ///< int
    LXI_ERR_STR_REPLACE_MALLOC_FAILED = 24,              ///< no arguments
    LXI_ERR_STR_FORMAT_MALLOC_FAILED = 25,               ///< no arguments
    LXI_ERR_STR_RESIZE_MALLOC_FAILED = 26,               ///< no arguments
    LXI_ERR_STR_SPLIT_INTO_TOKENS_NEW_FAILED = 27,       ///< no arguments
    LXI_ERR_STR_SPLIT_INTO_TOKENS_CALLED_TWICE = 28,     ///< no arguments
    LXI_ERR_REGISTER_CONSUMER_NO_ROUTER = 29,            ///< no arguments
    LXI_ERR_REGISTER_PROCESSOR_NO_ROUTER = 30,           ///< no arguments
    LXI_ERR_PROCESS_NOTIFICATION_NO_ROUTER = 31,         ///< no arguments
    LXI_ERR_PROCESS_REQUEST_NO_ROUTER = 32,              ///< no arguments
    LXI_ERR_FLUSH_FAILED = 33,                           ///< no arguments
    LXI_ERR_DATABASE_ITEM_NOT_FOUND = 34,                ///< int
    LXI_ERR_STORAGE_OPEN_FAILED_USING_DEFAULTS = 35,     ///< no arguments
    LXI_ERR_FLUSH_STORAGE_WRITE_FAILED = 36,             ///< no arguments
    LXI_ERR_STORAGE_OPEN_FAILED_NO_FLUSH = 37,           ///< no arguments
    LXI_ERR_MODULE_LOAD_FAILED_FOR_ITEM = 38,            ///< int
    LXI_ERR_MODULE_LOAD_FAILED_FOR_PATH = 39,            ///< wchar_t*
    LXI_ERR_MODULE_MANAGER_LOAD_WRONG_STATE = 40,        ///< int
    LXI_ERR_MODULE_START_FAILED = 41,                    ///< int
    LXI_ERR_MODULE_MANAGER_START_WRONG_STATE = 42,       ///< int
    LXI_ERR_MODULE_ACTIVATE_FAILED = 43,                 ///< int
    LXI_ERR_MODULE_MANAGER_ACTIVATE_WRONG_STATE = 44,    ///< int
    LXI_ERR_MODULE_MANAGER_NOT_ACTIVE = 45,              ///< int
    LXI_ERR_MODULE_MANAGER_NOT_TERMINATED = 46,          ///< int
    LXI_ERR_PROCESS_REQUEST_NO_PROCESSOR = 47,           ///< int
    LXI_ERR_WEB_PAGE_GUID_NOT_FOUND = 48,                ///< wchar_t*
    LXI_ERR_CIVET_WEB_SERVER_INIT_FAILED = 49,           ///< no arguments
    LXI_ERR_START_EXECUTABLE_FAILED = 50,                ///< wchar_t*
    LXI_ERR_NGINX_SOCKET_BIND_FAILED = 51,               ///< int
    LXI_ERR_NGINX_SOCKET_LISTEN_FAILED = 52,             ///< int
    LXI_ERR_NGINX_SOCKET_SEND_FAILED = 53,               ///< no arguments
    LXI_ERR_NGINX_SOCKET_NO_DATA = 54,                   ///< no arguments
    LXI_ERR_NGINX_SOCKET_RECV_FAILED = 55,               ///< no arguments
    LXI_ERR_IDENTIFICATION_WRITE_FAILED = 56,            ///< no arguments
    LXI_ERR_IDENTIFICATION_OPEN_FAILED = 57,             ///< no arguments
    LXI_ERR_IFCONFIG_EXECUTE_FAILED = 58,                ///< wchar_t*, wchar_t*
    LXI_ERR_NETWORK_LINUX_GET_ADDRESS_NAME_FAILED = 59,  ///< int
    LXI_ERR_NETWORK_LINUX_MAC_SOCKET_FAILED = 60,        ///< int
    LXI_ERR_NETWORK_LINUX_GET_MAC_FAILED = 61,           ///< int
    LXI_ERR_NETWORK_NO_CONFIGURED_NIC = 62,              ///< no arguments
    LXI_ERR_NETWORK_NIC_FOUND = 63,                      ///< wchar_t*, wchar_t*
    LXI_ERR_NETSH_EXECUTE_FAILED = 64,                   ///< wchar_t*, wchar_t*
    LXI_ERR_WEB_ADVANCED_IP_NO_NETWORK = 65,             ///< no arguments
    LXI_ERR_WEB_ADVANCED_IP_UNKNOWN_IDENTIFIER = 66,     ///< wchar_t*, wchar_t*
    LXI_ERR_WEB_ADVANCED_IP_MISSING_PARAMETER = 67,      ///< no arguments
    LXI_ERR_WEB_HOME_GET_COMMAND_NOT_FOUND = 68,         ///< wchar_t*
    LXI_ERR_WEB_HOME_TRIGGER_COMMAND_NOT_FOUND = 69,     ///< wchar_t*
    LXI_ERR_WEB_IPV4_UNKNOWN_IDENTIFIER = 70,            ///< wchar_t*, wchar_t*
    LXI_ERR_WEB_IPV4_NO_NETWORK = 71,                    ///< no arguments
    LXI_ERR_WEB_IPV4_MISSING_PARAMETER = 72,             ///< no arguments
    LXI_ERR_WEB_IPV6_UNKNOWN_IDENTIFIER = 73,            ///< wchar_t*, wchar_t*
    LXI_ERR_WEB_IPV6_NO_NETWORK = 74,                    ///< no arguments
    LXI_ERR_WEB_SECURITY_UNKNOWN_IDENTIFIER = 75,        ///< wchar_t*, wchar_t*
    LXI_ERR_NETWORK_WINDOWS_OPEN_REG_KEY_FAILED = 76,    ///< wchar_t*, int
    LXI_ERR_NETWORK_WINDOWS_QUERY_REG_VALUE_FAILED = 77, ///< wchar_t*, int
    LXI_ERR_NETWORK_WINDOWS_SET_REG_VALUE_FAILED = 78,   ///< wchar_t*, wchar_t*, int
    LXI_ERR_NETWORK_LINUX_SHELL_TIMEOUT = 79,            ///< wchar_t*
    LXI_ERR_NETWORK_LINUX_KILL_PROCESS_FAILED = 80,      ///< wchar_t*, int
    LXI_ERR_LOGGING_BUFFER_WRITE_FAILED = 81,            ///< no arguments
    LXI_ERR_LOGGING_BUFFER_CLOSE_FAILED = 82,            ///< no arguments
    LXI_ERR_LOGGING_BUFFER_OPEN_FAILED = 83,             ///< no arguments
    LXI_ERR_LOGGING_BUFFER_CLEAR_FAILED = 84,            ///< no arguments
    LXI_ERR_GET_VALUE_NOT_IDENTIFIED = 85,               ///< wchar_t*
    LXI_ERR_TRIGGER_VALUE_NOT_IDENTIFIED = 86,           ///< wchar_t*
    LXI_ERR_LAN_MESSAGE_CONNECT_FAILED = 87,             ///< wchar_t*
    LXI_ERR_LAN_EVENT_TCP_RESOURCES_EXHAUSTED = 88,      ///< wchar_t*
    LXI_ERR_SEND_LAN_MESSAGE_FAILED = 89,                ///< wchar_t*, int
    LXI_ERR_SEND_LAN_MESSAGE_FAILED_2 = 90,              ///< wchar_t*, int
    LXI_ERR_MDNS_CREATE_CONNECTION_FAILED = 91,          ///< int
    LXI_ERR_MDNS_REGISTER_RECORD_FAILED = 92,            ///< int
    LXI_ERR_MDNS_GET_ADDR_INFO_FAILED = 93,              ///< int
    LXI_ERR_MDNS_REGISTER_FAILED = 94,                   ///< int
    LXI_ERR_MDNS_TXT_RECORD_BUFFER_FULL = 95,            ///< int, int, int
    LXI_ERR_MDNS_HOSTNAME_CALLBACK_ERROR = 96,           ///< int
    LXI_ERR_MDNS_SERVICE_CALLBACK_ERROR = 97,            ///< int
    LXI_ERR_HISLIP_SEND_TO_SERVER_FAILED = 98,           ///< int
    LXI_ERR_HISLIP_SOCKET_READ_FAILED = 99,              ///< unsigned
    LXI_ERR_HISLIP_SOCKET_WRITE_FAILED = 100,            ///< no arguments
    LXI_ERR_HISLIP_ERROR_MESSAGE_RECEIVED = 101,         ///< int, wchar_t*
    LXI_ERR_HISLIP_FATAL_ERROR_MESSAGE_RECEIVED = 102,   ///< int, wchar_t*
    LXI_ERR_HISLIP_FATAL_ERROR_DETECTED = 103,           ///< int, wchar_t*, unsigned
    LXI_ERR_HISLIP_REGISTER_CONNECTION_FAILED = 104,     ///< no arguments
    LXI_ERR_HISLIP_RESERVE_PAYLOAD_BUFFER_FAILED = 105,  ///< no arguments
    LXI_ERR_HISLIP_TEST_ASYNC_DEVICE_CLEAR_TWICE = 106,  ///< no arguments
    LXI_ERR_HISLIP_TEST_WRITE = 107,                     ///< no arguments
    LXI_ERR_LAN_EVENT_HW_DETECT_NOT_FOUND = 108,         ///< no arguments
    LXI_ERR_SET_CURRENT_DIRECTORY_FAILED_WITH_ERROR = 109, ///< char*
    LXI_ERR_SET_CURRENT_DIRECTORY_FAILED = 110,          ///< no arguments
    LXI_ERR_CREATE_SHAREABLE_MUTEX_FAILED = 111,         ///< no arguments
    LXI_ERR_LOCK_MUTEX_FAILED = 112,                     ///< no arguments
    LXI_ERR_SOCKET_TYPE_INVALID = 113,                   ///< int, int, int
    LXI_ERR_SOCKET_DOMAIN_INVALID = 114,                 ///< int, int, int
    LXI_ERR_SOCKET_DOMAIN_NOT_INET = 115,                ///< int, int
    LXI_ERR_SOCKET_REUSEADDR_FAILED = 116,               ///< int
    LXI_ERR_SOCKET_TCP_OOBINLINE_FAILED = 117,           ///< int
    LXI_ERR_SOCKET_UDP_BROADCAST_FAILED = 118,           ///< int
    LXI_ERR_SOCKET_IPV6_V6ONLY_FAILED = 119,             ///< int
    LXI_ERR_SOCKET_OPEN_FAILED = 120,                    ///< int
    LXI_ERR_STR_TOKENS_BAD_TOKENIZER = 121,              ///< wchar_t*
    LXI_ERR_STR_TOKENS_COUNT_BAD_TOKENIZER = 122,        ///< wchar_t*
    LXI_ERR_NOTIFICATION_ROUTER_INSTANTIATE_FAILED = 123,  ///< no arguments
    LXI_ERR_REQUEST_ROUTER_INSTANTIATE_FAILED = 124,     ///< no arguments
    LXI_ERR_MODULE_MANAGER_INSTANTIATE_FAILED = 125,     ///< no arguments
    LXI_ERR_DATABASE_INSTANTIATE_FAILED = 126,           ///< no arguments
    LXI_ERR_SHUTDOWN_CONSUMER_INSTANTIATE_FAILED = 127,  ///< no arguments
    LXI_ERR_CORE_FRAMEWORK_CREATE_FAILED = 128,          ///< no arguments
    LXI_ERR_CORE_FRAMEWORK_SECOND_INSTANCE = 129,        ///< no arguments
    LXI_ERR_NETWORK_CREATE_FAILED = 130,                 ///< no arguments
    LXI_ERR_NETWORK_SECOND_INSTANCE = 131,               ///< no arguments
    LXI_ERR_NETWORK_NO_VALID_NIC = 132,                  ///< no arguments
    LXI_ERR_LXI_TERMINATES = 133,                        ///< no arguments
    LXI_ERR_NETWORK_WINDOWS_LAN_MONITOR_FAILED = 134,    ///< int, int
    LXI_ERR_NETWORK_WINDOWS_LAN_MONITOR_IPV4_FAILED = 135, ///< int
    LXI_ERR_WEB_SERVER_CREATE_FAILED = 136,              ///< no arguments
    LXI_ERR_WEB_SERVER_SECOND_INSTANCE = 137,            ///< no arguments
    LXI_ERR_GET_IP_ADDRESS_INDEX_OUT_OF_RANGE = 138,     ///< int, int
    LXI_ERR_INCREASE_DATA_LENGTH_TOO_LARGE = 139,        ///< no arguments
    LXI_ERR_ACCEPT_CONNECTION_WRONG_THREAD_STATE = 140,  ///< int
    LXI_ERR_UNEXPECTED_LOCK_STATE = 141,                 ///< int, int
    LXI_ERR_PAYLOAD_SIZE_OVERFLOW = 142,                 ///< no arguments
    LXI_ERR_PAYLOAD_WRONG_MESSAGE_STATUS = 143,          ///< int, int
    LXI_ERR_ASSIGN_PAYLOAD_BUFFER_ALREADY_SET = 144,     ///< no arguments
    LXI_ERR_ASSIGN_PAYLOAD_BUFFER_ALREADY_SET_2 = 145,   ///< no arguments
    LXI_ERR_SET_PAYLOAD_BUFFER_ALREADY_SET = 146,        ///< no arguments
    LXI_ERR_USE_PAYLOAD_BUFFER_ALREADY_SET = 147,        ///< no arguments
    LXI_ERR_HISLIP_RESERVE_MESSAGE_RECORD_FAILED = 148,  ///< no arguments
    LXI_ERR_MAKE_SYNC_WRONG_CHANNEL_TYPE = 149,          ///< int, int
    LXI_ERR_MAKE_SYNC_INVALID_SOCKET_ID = 150,           ///< no arguments
    LXI_ERR_LOCK_GRANTED_RECORD_FAILED = 151,            ///< no arguments
    LXI_ERR_HISLIP_SERVER_NOT_SET = 152,                 ///< no arguments
    LXI_ERR_DEVICE_NAMES_LOCK_MANAGERS_MISMATCH = 153,   ///< no arguments
    LXI_ERR_START_BACKGROUND_PROCESS_FAILED = 154,       ///< int
};

/// The catalogue's texts, one wide format per id, constant for the life of
/// the library; any thread may read them.
class LXIBASE_API CLxiErrorLogIds
{
public:
    CLxiErrorLogIds() = delete;   ///< Static members only.

    /// The format of id, the stored pointer itself (never copied, never freed).
    /// An id beyond the table yields an empty text.
    static const wchar_t* GetFormatString(enumLxiErrorLogId id);

    /// Entry N is the format of id N. Ids 2/3, 4/5, 89/90 and 144/145 hold the
    /// same address.
    static const wchar_t* const wFormatStrings[LXI_ERR_START_BACKGROUND_PROCESS_FAILED + 1];
};

#endif
