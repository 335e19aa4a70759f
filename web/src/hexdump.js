// A hex and text dump, 16 bytes a line: the offset, the bytes in hex, and
// the bytes as Shift-JIS text decoded by the browser. A two-byte character
// shows where its first byte stands and takes two columns, as its two bytes
// do (when it runs over a line's end, the next line's text starts one
// column in); a byte that is no text shows as a dot.
const decoder = new TextDecoder('shift_jis');
const perLine = 16;

const printable = (text) => text.length === 1 && !/[\u0000-\u001f\u007f-\u009f\ufffd]/u.test(text);

// The text of the bytes from start to end, and where the next line's text
// starts: past end when the last character took a byte of the next line.
function textColumn(bytes, start, end) {
  let text = '';
  let i = start;
  while (i < end) {
    if (bytes[i] >= 0x80 && i + 1 < bytes.length) {
      const pair = decoder.decode(bytes.subarray(i, i + 2));
      if (printable(pair)) {
        text += pair;
        i += 2;
        continue;
      }
    }
    const single = decoder.decode(bytes.subarray(i, i + 1));
    text += printable(single) ? single : '.';
    i += 1;
  }
  return { text, next: i };
}

export function hexDump(bytes) {
  const lines = [];
  let textFrom = 0;
  for (let start = 0; start < bytes.length; start += perLine) {
    const end = Math.min(start + perLine, bytes.length);
    const hexBytes = Array.from(bytes.subarray(start, end), (b) => b.toString(16).padStart(2, '0'));
    const { text, next } = textColumn(bytes, textFrom, end);
    const indent = ' '.repeat(textFrom - start);
    textFrom = next;
    lines.push(`${start.toString(16).padStart(6, '0')}  ${hexBytes.join(' ').padEnd(perLine * 3 - 1)}  ${indent}${text}`);
  }
  return lines.join('\n');
}
