/* Entry and device of the port driver: device \Device\NaloUniDev, reached
   from user mode as \\.\NaloUniDev. Built twice: nalouni.sys, which stops
   when its service is stopped, and nalouni_nostop.sys (NALOUNI_NO_UNLOAD),
   which has no unload routine and so refuses to stop. */
#include "driver_state.h"

#include "nalouni_requests.h"

static const WCHAR DeviceName[] = L"\\Device\\NaloUniDev";
static const WCHAR LinkName[] = L"\\DosDevices\\NaloUniDev";

static NTSTATUS Complete(PIRP irp, NTSTATUS status, ULONG_PTR information)
{
  irp->IoStatus.Status = status;
  irp->IoStatus.Information = information;
  IoCompleteRequest(irp, IO_NO_INCREMENT);
  return status;
}

static NTSTATUS NTAPI DispatchOpenClose(PDEVICE_OBJECT device, PIRP irp)
{
  (void)device;
  return Complete(irp, STATUS_SUCCESS, 0);
}

static NTSTATUS NTAPI DispatchDeviceControl(PDEVICE_OBJECT device, PIRP irp)
{
  PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
  ULONG_PTR information = 0;
  NTSTATUS status;
  (void)device;

  status = ServeRequest(stack->Parameters.DeviceIoControl.IoControlCode,
                        irp->AssociatedIrp.SystemBuffer,
                        stack->Parameters.DeviceIoControl.InputBufferLength,
                        stack->Parameters.DeviceIoControl.OutputBufferLength, &information);
  return Complete(irp, status, information);
}

#ifndef NALOUNI_NO_UNLOAD
static VOID NTAPI DriverUnload(PDRIVER_OBJECT driver)
{
  UNICODE_STRING link;
  RtlInitUnicodeString(&link, LinkName);
  IoDeleteSymbolicLink(&link);
  if (driver->DeviceObject)
    IoDeleteDevice(driver->DeviceObject);
}
#endif

NTSTATUS NTAPI DriverEntry(PDRIVER_OBJECT driver, PUNICODE_STRING registryPath)
{
  PortWindow window = {NALOUNI_DEFAULT_ADDRESS, NALOUNI_DEFAULT_COUNT};
  SimCardSettings card;
  UNICODE_STRING device, link;
  PDEVICE_OBJECT deviceObject;
  NTSTATUS status;

  SimCard_DefaultSettings(&card);
  ReadParameters(registryPath, &window, &card);
  StartCard(&window, &card);

  RtlInitUnicodeString(&device, DeviceName);
  /* FILE_DEVICE_SECURE_OPEN: an open of a name below the device
     (\\.\NaloUniDev\anything) is checked against the device's own security
     too, so no path around it reaches the card. */
  status = IoCreateDevice(driver, 0, &device, NALOUNI_DEVICE_TYPE, FILE_DEVICE_SECURE_OPEN, FALSE,
                          &deviceObject);
  if (!NT_SUCCESS(status))
    return status;
  RtlInitUnicodeString(&link, LinkName);
  status = IoCreateSymbolicLink(&link, &device);
  if (!NT_SUCCESS(status)) {
    IoDeleteDevice(deviceObject);
    return status;
  }

  driver->MajorFunction[IRP_MJ_CREATE] = DispatchOpenClose;
  driver->MajorFunction[IRP_MJ_CLOSE] = DispatchOpenClose;
  driver->MajorFunction[IRP_MJ_CLEANUP] = DispatchOpenClose;
  driver->MajorFunction[IRP_MJ_DEVICE_CONTROL] = DispatchDeviceControl;
#ifndef NALOUNI_NO_UNLOAD
  driver->DriverUnload = DriverUnload;
#endif
  deviceObject->Flags |= DO_BUFFERED_IO;
  deviceObject->Flags &= ~DO_DEVICE_INITIALIZING;
  return STATUS_SUCCESS;
}
