// Hands bytes to the browser as a download; nothing leaves the machine.
export function saveBytes(bytes, fileName, type = 'application/octet-stream') {
  const url = URL.createObjectURL(new Blob([bytes], { type }));
  const link = document.createElement('a');
  link.href = url;
  link.download = fileName;
  link.hidden = true;
  document.body.append(link);
  link.click();
  link.remove();
  // The download has taken the bytes once the click has been handled.
  setTimeout(() => URL.revokeObjectURL(url), 60000);
}
