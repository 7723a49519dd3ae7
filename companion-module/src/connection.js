// One obs-websocket connection to OBS, and through it to CurtainUp's vendor "curtainup".
// It keeps the last show state (GetState at connect, then every vendor event), the preset names
// and whether OBS streams, and reconnects with back-off when OBS closes or restarts. Nothing is
// polled: only a refused GetState (OBS loading, CurtainUp missing) is asked again, at most once a second.
//
// Events: 'status' (kind, message) with kind ok | connecting | bad_password | not_loaded | loading;
// 'state' (state); 'presets' (names), when the list changed; 'streaming' (bool).
import { EventEmitter } from 'node:events'
// JSON rather than the default msgpack: the same messages as obs-websocket's other clients.
import OBSWebSocket, { EventSubscription } from 'obs-websocket-js/json'
import { NO_STATE } from './state.js'

const VENDOR = 'curtainup'
const AUTHENTICATION_FAILED = 4009 // obs-websocket's close code for a wrong or missing password
const NOT_READY = 207 // obs-websocket's request status until OBS has finished loading
const RESOURCE_NOT_FOUND = 600 // obs-websocket's answer to CallVendorRequest for an unknown vendor
const STILL_LOADING = 'OBS is still loading.' // CurtainUp's refusal until OBS has finished loading
// CurtainUp answers an action within 2 s or says OBS is busy; a socket that died mid-request
// never answers, and obs-websocket-js would wait for ever.
const REQUEST_TIMEOUT_MS = 5000
const BACK_OFF_MS = [1000, 2000, 4000, 8000]

class RequestError extends Error {
	constructor(code, message) {
		super(message)
		this.code = code
	}
}

function withTimeout(promise, ms, message) {
	let timer
	const timeout = new Promise((_, reject) => {
		timer = setTimeout(() => reject(new RequestError(-1, message)), ms)
	})
	return Promise.race([promise, timeout]).finally(() => clearTimeout(timer))
}

// obs-websocket's refusal of a vendor request in the operator's words.
function explain(error) {
	if (error.code === RESOURCE_NOT_FOUND) return new RequestError(error.code, 'CurtainUp is not loaded in OBS.')
	if (error.code === NOT_READY) return new RequestError(error.code, STILL_LOADING)
	return error instanceof RequestError ? error : new RequestError(error.code ?? -1, error.message)
}

export class CurtainUpConnection extends EventEmitter {
	state = NO_STATE
	streaming = false
	presets = []
	status = { kind: 'connecting', message: '' }

	#settings
	#log
	#obs = null
	#timer = null
	#attempt = 0
	#stopped = true

	// settings: { host, port, password }; log(level, message) for what the operator may want to read.
	constructor(settings, log = () => {}) {
		super()
		this.#settings = settings
		this.#log = log
	}

	get url() {
		return `ws://${this.#settings.host}:${this.#settings.port}`
	}

	start() {
		this.#stopped = false
		this.#connect()
	}

	async stop() {
		this.#stopped = true
		clearTimeout(this.#timer)
		const obs = this.#obs
		this.#obs = null
		await obs?.disconnect()
	}

	// Sends a CurtainUp request; resolves to its answer ({ ok, error when refused, ... }).
	async request(type, data) {
		const obs = this.#obs
		if (!obs?.identified) throw new RequestError(-1, `Not connected to OBS at ${this.url}.`)
		const call = obs.call('CallVendorRequest', {
			vendorName: VENDOR,
			requestType: type,
			...(data && { requestData: data }),
		})
		try {
			const { responseData } = await withTimeout(call, REQUEST_TIMEOUT_MS, `OBS did not answer ${type} within 5 s.`)
			return responseData
		} catch (error) {
			throw explain(error)
		}
	}

	async #connect() {
		const obs = new OBSWebSocket()
		this.#obs = obs
		this.#setStatus('connecting', `Connecting to ${this.url}`)
		obs.on('VendorEvent', (event) => obs === this.#obs && this.#onVendorEvent(event))
		obs.on('StreamStateChanged', (event) => obs === this.#obs && this.#setStreaming(event.outputActive))
		try {
			await obs.connect(this.url, this.#settings.password || undefined, {
				eventSubscriptions: EventSubscription.Vendors | EventSubscription.Outputs,
			})
		} catch (error) {
			if (obs !== this.#obs) return
			if (error.code === AUTHENTICATION_FAILED) {
				// Trying again cannot help until the password in the settings changes.
				this.#setStatus('bad_password', 'OBS refused the password')
				return
			}
			this.#retry(() => this.#connect(), `OBS is not reachable at ${this.url} (${error.message || error.code})`)
			return
		}
		if (obs !== this.#obs) return obs.disconnect()
		this.#attempt = 0
		obs.on('ConnectionClosed', (error) => {
			if (obs !== this.#obs) return
			this.#obs = null
			this.#retry(() => this.#connect(), `OBS closed the connection (${error.message || error.code})`)
		})
		try {
			const { outputActive } = await obs.call('GetStreamStatus')
			this.#setStreaming(outputActive)
		} catch (error) {
			this.#log('debug', `GetStreamStatus: ${error.message}`)
		}
		await this.#readState(obs)
	}

	// GetState, asked again while OBS loads or CurtainUp is missing, and then the preset list.
	async #readState(obs) {
		let answer
		try {
			answer = await this.request('GetState')
		} catch (error) {
			if (obs !== this.#obs) return
			if (error.code === RESOURCE_NOT_FOUND) {
				this.#retry(
					() => this.#readState(obs),
					'obs-websocket answers, but CurtainUp is not loaded in OBS',
					'not_loaded',
				)
			} else if (error.code === NOT_READY) {
				this.#retry(() => this.#readState(obs), 'OBS is still loading', 'loading', 0)
			} else {
				this.#retry(() => this.#readState(obs), `GetState failed: ${error.message}`)
			}
			return
		}
		if (obs !== this.#obs) return
		if (!answer.ok) {
			const loading = answer.error === STILL_LOADING
			this.#retry(() => this.#readState(obs), loading ? 'OBS is still loading' : answer.error, 'loading', 0)
			return
		}
		if (this.status.kind !== 'ok') this.#setState(answer) // else an event, newer, came first
		await this.#readPresets()
	}

	async #readPresets() {
		let answer
		try {
			answer = await this.request('ListPresets')
		} catch (error) {
			this.#log('debug', `ListPresets: ${error.message}`)
			return
		}
		if (!answer.ok) return
		const names = (answer.presets ?? []).map((preset) => preset.name)
		if (names.join('\n') === this.presets.join('\n')) return
		this.presets = names
		this.emit('presets', names)
	}

	#onVendorEvent({ vendorName, eventType, eventData }) {
		if (vendorName !== VENDOR) return
		this.#setState(eventData)
		// The preset list has no event of its own; a StateChanged may follow a change of it.
		if (eventType === 'StateChanged') this.#readPresets()
	}

	#setState(state) {
		clearTimeout(this.#timer) // a GetState asked again is answered now
		this.#setStatus('ok', '')
		this.state = state
		this.emit('state', state)
	}

	#setStreaming(streaming) {
		if (streaming === this.streaming) return
		this.streaming = streaming
		this.emit('streaming', streaming)
	}

	// Runs `again` after the next back-off delay (attempt counts from 0: 1 s, 2 s, 4 s, then 8 s);
	// `step` fixes the attempt, e.g. 0 to ask every second while OBS loads.
	#retry(again, why, kind = 'connecting', step = this.#attempt++) {
		if (this.#stopped) return
		const delay = BACK_OFF_MS[Math.min(step, BACK_OFF_MS.length - 1)]
		this.#setStatus(kind, `${why}; trying again in ${delay / 1000} s`)
		clearTimeout(this.#timer)
		this.#timer = setTimeout(again, delay)
	}

	#setStatus(kind, message) {
		if (kind === this.status.kind && message === this.status.message) return
		this.status = { kind, message }
		this.emit('status', kind, message)
	}
}
