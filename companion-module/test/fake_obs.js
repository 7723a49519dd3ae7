// A stand-in for obs-websocket 5 on a free port: Hello (with a password challenge when given
// one), Identify, GetStreamStatus and CallVendorRequest, answered by `vendor(type, data)` as
// { code, data } (code 100 is success). It can send vendor events and drop every client.
import { createHash } from 'node:crypto'
import { WebSocketServer } from 'ws'

const sha256 = (text) => createHash('sha256').update(text).digest('base64')
const SALT = 'salt'
const CHALLENGE = 'challenge'

export async function fakeObs({ password = '', vendor }) {
	const server = new WebSocketServer({ port: 0, handleProtocols: () => 'obswebsocket.json' })
	await new Promise((resolve) => server.once('listening', resolve))
	const send = (socket, op, d) => socket.send(JSON.stringify({ op, d }))
	const clients = new Set()

	server.on('connection', (socket) => {
		send(socket, 0, {
			obsWebSocketVersion: '5.5.0',
			rpcVersion: 1,
			...(password && { authentication: { salt: SALT, challenge: CHALLENGE } }),
		})
		socket.on('message', (raw) => {
			const { op, d } = JSON.parse(raw)
			if (op === 1) {
				if (password && d.authentication !== sha256(sha256(password + SALT) + CHALLENGE))
					return socket.close(4009, 'Authentication failed.')
				clients.add(socket)
				socket.on('close', () => clients.delete(socket))
				return send(socket, 2, { negotiatedRpcVersion: 1 })
			}
			const { code, data } =
				d.requestType === 'GetStreamStatus'
					? { code: 100, data: { outputActive: false } }
					: vendor(d.requestData.requestType, d.requestData.requestData)
			const responseData = code === 100 ? { ...d.requestData, responseData: data } : undefined
			send(socket, 7, {
				requestType: d.requestType,
				requestId: d.requestId,
				requestStatus: { result: code === 100, code },
				responseData,
			})
		})
	})

	return {
		port: server.address().port,
		event: (eventType, eventData) =>
			clients.forEach((socket) =>
				send(socket, 5, {
					eventType: 'VendorEvent',
					eventIntent: 512,
					eventData: { vendorName: 'curtainup', eventType, eventData },
				}),
			),
		dropClients: () => clients.forEach((socket) => socket.terminate()),
		close: () => new Promise((resolve) => server.close(resolve)),
	}
}
