// Runs the worker from its inlined source and talks to it: each request
// carries an id and gets back one answer with the same id, a result or an
// error message.
export function startWorker(source) {
  const worker = new Worker(URL.createObjectURL(new Blob([source], { type: 'text/javascript' })));
  const waiting = new Map();
  let nextId = 1;
  worker.addEventListener('message', ({ data }) => {
    const request = waiting.get(data.id);
    waiting.delete(data.id);
    if (data.error !== undefined) request.reject(new Error(data.error));
    else request.resolve(data.result);
  });
  worker.addEventListener('error', (event) => {
    event.preventDefault();
    for (const request of waiting.values()) request.reject(new Error(event.message || 'the worker stopped'));
    waiting.clear();
  });
  return {
    call(op, args = {}, transfer = []) {
      const id = nextId++;
      return new Promise((resolve, reject) => {
        waiting.set(id, { resolve, reject });
        worker.postMessage({ id, op, ...args }, transfer);
      });
    },
  };
}
