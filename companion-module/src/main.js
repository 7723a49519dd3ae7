// The Companion side: config fields, and the connection's state, status and presets turned into
// Companion's actions, feedbacks, variables and status.
import { InstanceBase, InstanceStatus, Regex, runEntrypoint } from '@companion-module/base'
import { actionTable, perform } from './actions.js'
import { CurtainUpConnection } from './connection.js'
import { feedbackDefinitions } from './feedbacks.js'
import { presetDefinitions } from './presets.js'
import { NO_STATE, VARIABLES, variableValues } from './state.js'

const STATUS = {
	ok: InstanceStatus.Ok,
	connecting: InstanceStatus.Connecting,
	loading: InstanceStatus.Connecting,
	bad_password: InstanceStatus.AuthenticationFailure,
	not_loaded: InstanceStatus.ConnectionFailure,
}

class CurtainUpInstance extends InstanceBase {
	#connection = null
	#settings = ''
	#presetsLabel = ''

	async init(config, _isFirstInit, secrets) {
		this.setVariableDefinitions(VARIABLES)
		this.setFeedbackDefinitions(feedbackDefinitions(() => this.#show()))
		this.#defineActions([])
		await this.configUpdated(config, secrets)
	}

	// Also called when only the label changed: the connection then stays as it is.
	async configUpdated(config, secrets) {
		if (this.label !== this.#presetsLabel) {
			this.#presetsLabel = this.label
			this.setPresetDefinitions(presetDefinitions(this.label))
		}
		const settings = {
			host: config.host || '127.0.0.1',
			port: Number(config.port) || 4455,
			password: secrets?.password ?? '',
		}
		if (JSON.stringify(settings) === this.#settings) return
		this.#settings = JSON.stringify(settings)
		await this.#connection?.stop()
		this.#connect(settings)
	}

	async destroy() {
		await this.#connection?.stop()
	}

	getConfigFields() {
		return [
			{
				type: 'static-text',
				id: 'about',
				width: 12,
				label: 'OBS with CurtainUp',
				value: "obs-websocket's address, port and password are in OBS under Tools → WebSocket Server Settings.",
			},
			{ type: 'textinput', id: 'host', width: 8, label: 'OBS address', default: '127.0.0.1', regex: Regex.HOSTNAME },
			{ type: 'number', id: 'port', width: 4, label: 'Port', default: 4455, min: 1, max: 65535 },
			{ type: 'secret-text', id: 'password', width: 12, label: 'Password (empty when OBS asks for none)' },
		]
	}

	#connect(settings) {
		const connection = new CurtainUpConnection(settings, (level, message) => this.log(level, message))
		this.#connection = connection
		connection.on('status', (kind, message) => this.updateStatus(STATUS[kind], message || null))
		connection.on('state', () => this.#publish())
		connection.on('streaming', () => this.checkFeedbacks('streaming'))
		connection.on('presets', (names) => this.#defineActions(names))
		this.#publish()
		connection.start()
	}

	// The show as the connection knows it (nothing before init made the connection).
	#show() {
		return { state: this.#connection?.state ?? NO_STATE, streaming: Boolean(this.#connection?.streaming) }
	}

	#publish() {
		this.setVariableValues(variableValues(this.#show().state))
		this.checkFeedbacks()
	}

	#defineActions(presetNames) {
		const definitions = Object.entries(actionTable(presetNames)).map(([id, action]) => [
			id,
			{
				name: action.name,
				options: action.options,
				callback: async (event) => {
					const answer = await perform(action, event.options, this.#connection)
					if (!answer.ok) this.log('warn', `${action.name}: ${answer.error}`)
				},
			},
		])
		this.setActionDefinitions(Object.fromEntries(definitions))
	}
}

runEntrypoint(CurtainUpInstance, [])
