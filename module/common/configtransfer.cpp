#include "common/configtransfer.h"

#include "common/modulepaths.h"

#include "zuzerarovelibapi.h"

ConfigSave saveConfigToController()
{
    ZuzEraroveLibApi *api = ZuzEraroveLibApi::getInstance();
    if (!api->writeZuzEraroveFile(modulepaths::localConfigPath()))
        return ConfigSave::WriteFailed;
    if (!api->sendFileToCtrl(modulepaths::localConfigPath(), modulepaths::ctrlConfigPath()))
        return ConfigSave::SendFailed;
    api->setUpdateConfig();
    return ConfigSave::Saved;
}
