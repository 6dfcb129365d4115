#include "media/hresult.h"

namespace kolvarin::media {

std::string ErrorText(HRESULT hr)
{
    switch (hr) {
    case S_OK: return "No error.";
    case S_FALSE: return "The operation completed with a false result.";
    case E_NOTIMPL: return "Not implemented.";
    case E_NOINTERFACE: return "No such interface supported.";
    case E_POINTER: return "Invalid pointer.";
    case E_ABORT: return "Operation aborted.";
    case E_FAIL: return "Unspecified error.";
    case E_UNEXPECTED: return "Catastrophic failure.";
    case E_OUTOFMEMORY: return "Not enough storage is available to complete this operation.";
    case E_INVALIDARG: return "The parameter is incorrect.";
    case E_FILE_NOT_FOUND: return "The system cannot find the file specified.";
    case VFW_E_INVALIDMEDIATYPE: return "An invalid media type was specified.";
    case VFW_E_INVALIDSUBTYPE: return "An invalid media subtype was specified.";
    case VFW_E_ALREADY_CONNECTED: return "The operation cannot be performed because the pins are already connected.";
    case VFW_E_NO_ACCEPTABLE_TYPES: return "No acceptable types were found.";
    case VFW_E_NOT_CONNECTED: return "The operation cannot be performed because the pins are not connected.";
    case VFW_E_NOT_FOUND: return "An object or name was not found.";
    case VFW_E_CANNOT_CONNECT: return "No combination of intermediate filters could be found to make the connection.";
    case VFW_E_CANNOT_RENDER: return "No combination of filters could be found to render the stream.";
    case VFW_E_NOT_STOPPED: return "The operation could not be performed because the filter is not stopped.";
    case VFW_E_WRONG_STATE: return "The operation could not be performed because the filter is in the wrong state.";
    case VFW_E_TYPE_NOT_ACCEPTED: return "This media type is not accepted.";
    case VFW_E_UNKNOWN_FILE_TYPE: return "The media type of this file is not recognized.";
    case VFW_E_INVALID_FILE_FORMAT: return "The file format is invalid.";
    case VFW_E_NOT_IN_GRAPH:
        return "Cannot perform the requested function on an object that is not in the filter graph.";
    case VFW_E_UNSUPPORTED_STREAM: return "Cannot play back the file: the format is not supported.";
    case VFW_E_NO_TRANSPORT: return "The pins cannot agree on a transport.";
    case VFW_S_NO_MORE_ITEMS: return "The end of the list has been reached.";
    case VFW_S_STATE_INTERMEDIATE: return "The state transition has not completed.";
    case VFW_S_PARTIAL_RENDER: return "Some of the streams in this movie are in an unsupported format.";
    default: return "Unknown error.";
    }
}

} // namespace kolvarin::media
