#include "LxiErrorLogIds.h"

namespace
{
// The texts that two ids share, stored once.
const wchar_t s_wPushBackCapacityReached[] =
    L"%ls::PushBack() : Capacity of vector reached, size: %d,capacity: %d";
const wchar_t s_wGetAtOutOfRange[] =
    L"%ls::GetAt() : index(%d) out of range, size: %d,capacity: %d";
const wchar_t s_wSendLanMessageFailed[] =
    L"SendLanMessage() failed, EventId=%ls total size=%d";
const wchar_t s_wPayloadBufferAlreadyAssigned[] =
    L"AssignPayloadBuffer() called for messageRecord which already has a payload buffer";
}   // namespace

const wchar_t* const
    CLxiErrorLogIds::wFormatStrings[LXI_ERR_START_BACKGROUND_PROCESS_FAILED + 1] = {
    /*   0 */ L"Vendor Message: %ls.",
    /*   1 */ L"%ls::PushBack() : No free space found, size : %d, capacity : %d",
    /*   2 */ s_wPushBackCapacityReached,
    /*   3 */ s_wPushBackCapacityReached,
    /*   4 */ s_wGetAtOutOfRange,
    /*   5 */ s_wGetAtOutOfRange,
    /*   6 */ L"LXI Lan Event Message could not allocate memory for user data!",
    /*   7 */ L"FileOpenUtf16: Byte Order Mark was not written to file %ls!",
    /*   8 */ L"FileOpenUtf16: the mode %s is presently not implemented!",
    /*   9 */ L"FileOpenUtf8: Byte Order Mark was not written to file %ls!",
    /*  10 */ L"FileOpenUtf8: the mode %s is currently not implemented!",
    /*  11 */ L"Unlock mutex was tried without a locked mutex!",
    /*  12 */ L"SetBlockingMode() failed, errno=%d",
    /*  13 */ L"SetNoDelay() failed, errno=%d",
    /*  14 */ L"WSAStartup() failed for sockets, errno=%d",
    /*  15 */ L"fcntl() failed for FD_CLOEXEC, errno=%d",
    /*  16 */ L"AssignPort socket failed on port %d, errno=%d",
    /*  17 */ L"listen() failed on socket, errno=%d",
    /*  18 */ L"accept() failed on socket, errno=%d",
    /*  19 */ L"connect to host \"%ls\" on port %d failed, errno=%d",
    /*  20 */ L"Could not setup the multicast address, address=%ls",
    /*  21 */ L"send() failed, errno=%d",
    /*  22 */ L"sendto() failed, errno=%d",
    /*  23 */ L"recv() failed, errno=%d",
    /*  24 */ L"Replace(): malloc failed",
    /*  25 */ L"Format: malloc() failed",
    /*  26 */ L"Resize(): malloc() failed",
    /*  27 */ L"SplitIntoTokens(): new failed",
    /*  28 */ L"SplitIntoTokens(): called twice",
    /*  29 */ L"Unable to register consumer, no pointer to notification router available!",
    /*  30 */ L"Unable to register processor, no pointer to request router available!",
    /*  31 */ L"Unable to process notification, no pointer to notification router available!",
    /*  32 */ L"Unable to process request, no pointer to request router available!",
    /*  33 */ L"Flush failed!",
    /*  34 */ L"Database item (%d) not found!",
    /*  35 */ L"Persistent storage file could not be opened, system working with default values!",
    /*  36 */ L"FlushStorage: Write failed!",
    /*  37 */ L"Persistent storage file could not be opened, system couldn't flush file!",
    /*  38 */ L"The following module with the enumLxiDatabaseItem %d could not be loaded!",
    /*  39 */ L"The module with following path %ls could not be loaded!",
    /*  40 */ L"Module manager in state %d and not in initial state, therefore manager can not be "   // NOLINT(bugprone-suspicious-missing-comma): one text
              L"loaded!",
    /*  41 */ L"Module %d could not be started!",
    /*  42 */ L"Module manager in state %d and not in loaded state, therefore manager can not be "
              L"started!",
    /*  43 */ L"Module %d could not be activated!",
    /*  44 */ L"Module manager in state %d and not in started state, therefore the manager is not "
              L"activated!",
    /*  45 */ L"Module manager in state %d and not in active state!",
    /*  46 */ L"Module manager in state %d and not in terminated state!",
    /*  47 */ L"ProcessRequest number %d failed! No Processor found.",
    /*  48 */ L"The webpage with following GUID not found: %ls!",
    /*  49 */ L"CivetWebServer failed to initialize!",
    /*  50 */ L"Start Executable: %ls failed to execute",
    /*  51 */ L"Nginx TCP Socket(m_ConnectSocket): bind to port %d failed and NginxWebServer has "
              L"shutdown!",
    /*  52 */ L"Nginx TCP Socket(m_ConnectSocket): listen to port %d failed and NginxWebServer "
              L"has shutdown!",
    /*  53 */ L"Nginx TCP Socket: send failed",
    /*  54 */ L"Nginx TCP Socket: no data found",
    /*  55 */ L"Nginx TCP Socket: recv failed",
    /*  56 */ L"LxiIdentificationWriter - Write to file failed!",
    /*  57 */ L"LxiIdentificationWriter - Open file failed!",
    /*  58 */ L"IfConfigInterface_Execute: failed to execute following command: %ls %ls!",
    /*  59 */ L"NetworkLinux: failed to get current address name(Error code: %d)!",
    /*  60 */ L"NetworkLinux: failed to open socket to retrieve MAC-Address(Error code: %d)!",
    /*  61 */ L"NetworkLinux: failed to retrieve MAC-Address(Error code: %d)!",
    /*  62 */ L"LXI Orva Network Module cannot find a configured NIC, system contains more than "
              L"one NIC",
    /*  63 */ L"NIC found: name=\"%ls\" friendly name=\"%ls\"",
    /*  64 */ L"NetShInterface_Execute: failed to execute following command: %ls %ls!",
    /*  65 */ L"LxiWebPageAdvancedIP - Missing Network pointer!",
    /*  66 */ L"LxiWebPageAdvancedIP - Post: Unknown identifier %ls, submitting data %ls failed!",
    /*  67 */ L"LxiWebPageAdvancedIP - Parameters were not changed due to missing Parameter!",
    /*  68 */ L"WebPageHome-Get: '%ls' command not found!",
    /*  69 */ L"WebPageHome-Trigger: '%ls' command not found!",
    /*  70 */ L"LxiWebPageIPv4 - Post: Unknown identifier %ls, submitting data %ls failed!",
    /*  71 */ L"LxiWebPageIPv4 - Missing Network pointer!",
    /*  72 */ L"LxiWebPageIPv4 - IP Parameters were not changed due to missing Parameter!",
    /*  73 */ L"LxiWebPageIPv6 - Post: Unknown identifier %ls, submitting data %ls failed!",
    /*  74 */ L"LxiWebPageIPv6 - Missing Network pointer!",
    /*  75 */ L"LxiWebPageSecurity - Post: Unknown identifier %ls, submitting data %ls failed!",
    /*  76 */ L"NetworkWindows: Open registry key: \"%ls\" failed (Error code: %d)!",
    /*  77 */ L"NetworkWindows: Query registry value: \"%ls\" failed (Error code: %d)!",
    /*  78 */ L"NetworkWindows: Set registry value: Name=\"%ls\", Value =\"%ls\" failed (Error "
              L"code: %d)!",
    /*  79 */ L"NetworkLinux: Caution: Call to shell script has timed out! NetworkModule might be "
              L"displaying bad information! (Shell call: %ls)",
    /*  80 */ L"NetworkLinux: failed to kill process (%ls) with PID (%d)",
    /*  81 */ L"LxiLoggingBuffer: Write file failed!",
    /*  82 */ L"LxiLoggingBuffer: Close file failed!",
    /*  83 */ L"LxiLoggingBuffer: Open file failed!",
    /*  84 */ L"LxiLoggingBuffer: Clear and remove file failed!",
    /*  85 */ L"Get value was not identified! Received string: %ls",
    /*  86 */ L"Trigger value was not identified! Received string: %ls",
    /*  87 */ L"SendLanMessage(): Could not connect to \"%ls\".",
    /*  88 */ L"TCP connection resources exhausted in LXI Event Messaging Module. Could not "
              L"establish connection to \"%ls\".",
    /*  89 */ s_wSendLanMessageFailed,
    /*  90 */ s_wSendLanMessageFailed,
    /*  91 */ L"DNSServiceCreateConnection failed, Error code: %d",
    /*  92 */ L"DNSServiceRegisterRecord failed, Error code: %d",
    /*  93 */ L"DNSServiceGetAddrInfo failed, Error code: %d",
    /*  94 */ L"DNSServiceRegister failed, Error code: %d",
    /*  95 */ L"Cannot write %d bytes to TXT record buffer, already filled=%d / size=%d",
    /*  96 */ L"mDNS hostname callback called with unexpected errorCode %d",
    /*  97 */ L"mDNS service callback called with unexpected errorCode %d",
    /*  98 */ L"HiSLIP module cannot send message %d to HiSLIP server",
    /*  99 */ L"Error when reading from socket. Connection 0x%.8X will be closed.",
    /* 100 */ L"Error when writing to socket. Connection will be closed.",
    /* 101 */ L"Error message received with error code = %d, description = \"%ls\"",
    /* 102 */ L"FatalError message received with error code = %d, description = \"%ls\". "
              L"Connection will be closed.",
    /* 103 */ L"FatalError detected with error code = %d, description = \"%ls\". Connection "
              L"0x%.8X will be closed.",
    /* 104 */ L"Could not register new HiSLIP connection.",
    /* 105 */ L"Could not reserve a payload buffer for a server message.",
    /* 106 */ L"CTestHislipClearAsyncDeviceClearTwice: AsyncDeviceClear sent twice -> Error "
              L"expected",
    /* 107 */ L"CTestHislipWrite: write data messages to HiSLIP server",
    /* 108 */ L"IsLanEventMessageComplete() can not find HW Detect, error in sequence of "
              L"programming, FindHWDetect() musst be called before",
    /* 109 */ L"SetCurrentDirectory: failed with error %s !",
    /* 110 */ L"SetCurrentDirectory: failed!",
    /* 111 */ L"CreateMutex for ShareableObject failed!",
    /* 112 */ L"Lock mutex failed!",
    /* 113 */ L"Requested socket type (%d) is neither SOCK_STREAM (%d) nor SOCK_DGRAM (%d)",
    /* 114 */ L"Requested socket domain (%d) is neither PF_INET (%d) nor PF_INET6 (%d)",
    /* 115 */ L"Requested socket domain (%d) is not PF_INET (%d)",
    /* 116 */ L"setsockopt() failed for SO_REUSEADDR, errno=%d",
    /* 117 */ L"setsockopt() failed for TCP - SO_OOBINLINE, errno=%d",
    /* 118 */ L"setsockopt() failed for UDP - SO_BROADCAST, errno=%d",
    /* 119 */ L"setsockopt() failed for IPV6_V6ONLY, errno=%d",
    /* 120 */ L"open socket failed, errno=%d",
    /* 121 */ L"CStrTokens: Bad tokenizer! (Used tokenizer: %ls)",
    /* 122 */ L"CStrTokens::CountTokens: Bad tokenizer! (Used tokenizer: %ls)",
    /* 123 */ L"NotificationRouter failed to instantiate!",
    /* 124 */ L"RequestRouter failed to instantiate!",
    /* 125 */ L"ModuleManager failed to instantiate!",
    /* 126 */ L"Database failed to instantiate!",
    /* 127 */ L"ShutdownConsumer failed to instantiate!",
    /* 128 */ L"create new instance of CLxiCoreFramework failed",
    /* 129 */ L"second call to instantiate CLxiCoreFramework",
    /* 130 */ L"create new instance of CLxiNetwork failed",
    /* 131 */ L"second call to instantiate CLxiNetwork",
    /* 132 */ L"LXI Orva Network Module cannot find any valid NIC for processing, terminating!",
    /* 133 */ L"LXI terminates!",
    /* 134 */ L"CLxiNetworkWindows::Startup: failed to start LAN monitoring thread: IPv4 socket "
              L"id=%d / IPv6 socket id=%d!",
    /* 135 */ L"CLxiNetworkWindows::Startup: failed to start LAN monitoring thread: IPv4 socket "
              L"id=%d!",
    /* 136 */ L"ILxiWebServer: create new instance of WebServer failed",
    /* 137 */ L"ILxiWebServer: second call to instantiate WebServer",
    /* 138 */ L"Index for GetIPAddress() out of range %d/%d",
    /* 139 */ L"IncreaseDataLength() called with a too large length",
    /* 140 */ L"AcceptNewConnection() called for thread in state %d (not LXI_THRD_WAIT_FOR_START)",
    /* 141 */ L"Current lock state = %d; expected was = %d",
    /* 142 */ L"IncrementReceivedPayloadData() found payload size overflow",
    /* 143 */ L"IncrementReceivedPayloadData() called for message status %d; only allowed in "
              L"status %d = HISLIP_MESSAGE_STATUS_PARTIALLY_RECEIVED",
    /* 144 */ s_wPayloadBufferAlreadyAssigned,
    /* 145 */ s_wPayloadBufferAlreadyAssigned,
    /* 146 */ L"SetPayloadBuffer() called for messageRecord which already has a payload buffer",
    /* 147 */ L"UsePayloadBuffer() called for messageRecord which already has a payload buffer",
    /* 148 */ L"Could not reserve a record for a new server message.",
    /* 149 */ L"MakeSync() called for channel with type = %d not equal to "
              L"HISLIP_CHANNEL_TYPE_NONE = %d",
    /* 150 */ L"MakeSync() called for channel with invalid socketId",
    /* 151 */ L"Could not reserve message record for LockGranted",
    /* 152 */ L"Pointer to HislipServer not set",
    /* 153 */ L"Size of vector of valid device names differs from size of vector of lock managers",
    /* 154 */ L"Start Background Process failed. Errorcode: %d.",
};

const wchar_t* CLxiErrorLogIds::GetFormatString(enumLxiErrorLogId id)
{
    // A module built against a longer catalogue may pass an id this table
    // lacks: an empty text is safe to format, a read past the table is not.
    if (id >= sizeof(wFormatStrings) / sizeof(wFormatStrings[0]))
        return L"";
    return wFormatStrings[id];
}
