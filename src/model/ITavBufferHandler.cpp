#include "model/ITavBufferHandler.h"

bool CTavBufferHandlers::BeforeWriteLists(const TavListWrites& writes) {
    return Each(&ITavBufferHandler::BeforeWriteLists, writes);
}
bool CTavBufferHandlers::BeforeWriteTexts(const TavTextWrites& writes) {
    return Each(&ITavBufferHandler::BeforeWriteTexts, writes);
}
bool CTavBufferHandlers::BeforeWriteIntegers(const TavIntegerWrites& writes) {
    return Each(&ITavBufferHandler::BeforeWriteIntegers, writes);
}
bool CTavBufferHandlers::AfterWrite(const TavValueList& values) { return Each(&ITavBufferHandler::AfterWrite, values); }
bool CTavBufferHandlers::AfterLoad(const TavValueList& values) { return Each(&ITavBufferHandler::AfterLoad, values); }
bool CTavBufferHandlers::AfterReceive(const TavValueList& values) {
    return Each(&ITavBufferHandler::AfterReceive, values);
}
